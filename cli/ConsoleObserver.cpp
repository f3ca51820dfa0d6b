// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ConsoleObserver.h"

#include "fs/PrintableText.h"

namespace quillmere::cli {

void ConsoleObserver::Copied(const std::string& source, const std::string& destination) {
    std::fprintf(out_, "copied %s -> %s\n", Printable(source).c_str(), Printable(destination).c_str());
}

void ConsoleObserver::KeptInTrash(const std::string& destination) {
    std::fprintf(out_, "trash %s\n", Printable(destination).c_str());
}

void ConsoleObserver::NotKeptInTrash(const std::string& destination, const std::string& cause) {
    ++problemCount_;
    std::fprintf(err_, "%s\n", NotKeptRecord(destination, cause).c_str());
}

void ConsoleObserver::NotCopied(const std::string& source, const std::string& destination,
                                const platform::CopyOutcome& outcome) {
    ++problemCount_;
    std::fprintf(err_, "%s\n", NotCopiedRecord(source, destination, outcome.cause).c_str());
}

void ConsoleObserver::NotRead(const std::string& path, const std::string& cause) {
    ++problemCount_;
    std::fprintf(err_, "%s\n", NotReadRecord(path, cause).c_str());
}

void ConsoleObserver::Report(const TrappedError& error) {
    ++problemCount_;
    std::fprintf(err_, "quillmere-sync: error: %s (%sat line %d)\n", Printable(error.description).c_str(),
                 error.procedureText.c_str(), error.line);
}

} // namespace quillmere::cli
