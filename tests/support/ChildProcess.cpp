// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/ChildProcess.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

namespace quillmere::test {

namespace {

std::string ReadAll(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
}

[[noreturn]] void RunChild(int fd, const std::function<void()>& prepare, const std::function<std::string()>& work) {
    int status = 1;
    try {
        prepare();
        const std::string text = work();
        status = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : 1;
    } catch (...) {
        status = 1;
    }
    ::_exit(status); // no exit handlers, no GoogleTest teardown in the child
}

std::optional<std::string> Run(const std::function<void()>& prepare, const std::function<std::string()>& work) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return std::nullopt;
    }
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        RunChild(fds[1], prepare, work);
    }
    ::close(fds[1]);
    const std::string text = child > 0 ? ReadAll(fds[0]) : std::string();
    ::close(fds[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return text;
}

} // namespace

std::optional<std::string> RunInChild(const std::function<std::string()>& work) {
    return Run([] {}, work);
}

std::optional<std::string> RunAsNobody(const std::function<std::string()>& work) {
    return Run(
        [] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
                throw std::runtime_error("cannot become nobody");
            }
        },
        work);
}

std::optional<std::string> CannotRunAsNobodyIn(const std::string& folder) {
    if (::geteuid() != 0) {
        return "needs root to run the work as the user nobody (root ignores permission bits)";
    }
    const auto reached = RunAsNobody([&] { return std::string(::access(folder.c_str(), X_OK) == 0 ? "yes" : "no"); });
    if (reached != "yes") {
        return "the user nobody cannot reach " + folder + " (set TMPDIR to a folder anyone may enter)";
    }
    return std::nullopt;
}

} // namespace quillmere::test
