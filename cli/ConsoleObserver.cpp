// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ConsoleObserver.h"

#include "fs/PrintableText.h"

namespace quillmere::cli {

void ConsoleObserver::Print(std::FILE* stream, const std::string& line) {
    std::fprintf(stream, "%s\n", line.c_str());
    std::fflush(stream);
}

void ConsoleObserver::Copied(const std::string& source, const std::string& destination) {
    Print(out_, "copied " + Printable(source) + " -> " + Printable(destination));
}

void ConsoleObserver::KeptInTrash(const std::string& destination) {
    Print(out_, "trash " + Printable(destination));
}

void ConsoleObserver::NotKeptInTrash(const std::string& destination, const std::string& cause) {
    ++problemCount_;
    Print(err_, NotKeptRecord(destination, cause));
}

void ConsoleObserver::NotCopied(const std::string& source, const std::string& destination,
                                const platform::CopyOutcome& outcome) {
    ++problemCount_;
    Print(err_, NotCopiedRecord(source, destination, outcome.cause));
}

void ConsoleObserver::NotRead(const std::string& path, const std::string& cause) {
    ++problemCount_;
    Print(err_, NotReadRecord(path, cause));
}

void ConsoleObserver::NotRun(const std::string& cause) {
    ++problemCount_;
    Print(err_, "quillmere-sync: " + Printable(cause));
}

void ConsoleObserver::Report(const TrappedError& error) {
    ++problemCount_;
    Print(err_, "quillmere-sync: error: " + Printable(error.description) + " (" + error.procedureText + "at line " +
                    std::to_string(error.line) + ")");
}

} // namespace quillmere::cli
