// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Utf8Console.h"

#include <algorithm>
#include <cstdio>

#ifdef _WIN32
#include "platform/windows/WideText.h"

#include <memory>
#include <optional>

#include <windows.h>
// shellapi.h needs the types windows.h defines.
#include <shellapi.h>
#endif

namespace quillmere::cli {

namespace {

std::vector<std::string> ArgumentsAsGiven(int argc, char** argv) {
    return std::vector<std::string>(argv + std::min(argc, 1), argv + std::max(argc, 0));
}

#ifdef _WIN32
// No value when the command line cannot be read or holds text that has no UTF-8 form.
std::optional<std::vector<std::string>> WideArguments() {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&LocalFree)> wide(CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
    if (!wide) {
        return std::nullopt;
    }
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        std::optional<std::string> argument = platform::windows::ToUtf8(wide.get()[i]);
        if (!argument) {
            return std::nullopt;
        }
        arguments.push_back(std::move(*argument));
    }
    return arguments;
}
#endif

} // namespace

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
#ifdef _WIN32
    if (auto arguments = WideArguments()) {
        return std::move(*arguments);
    }
#endif
    return ArgumentsAsGiven(argc, argv);
}

Utf8Console::Utf8Console() {
#ifdef _WIN32
    const UINT previous = GetConsoleOutputCP();
    if (previous != 0 && previous != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
        previousCodePage_ = previous;
    }
#endif
}

Utf8Console::~Utf8Console() {
#ifdef _WIN32
    if (previousCodePage_ != 0) {
        std::fflush(nullptr); // text still buffered is shown in the code page it was written for
        SetConsoleOutputCP(previousCodePage_);
    }
#endif
}

} // namespace quillmere::cli
