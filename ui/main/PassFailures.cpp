// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/PassFailures.h"

#include "fs/Main.h"
#include "fs/PrintableText.h"

namespace quillmere {
namespace {

std::string Counted(std::int64_t count, std::string_view one, std::string_view many, std::string_view what) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many) + " " + std::string(what);
}

// The last name of a file or folder path; a folder path ends in its separator.
std::string LastName(std::string_view path) {
    const std::size_t end = path.find_last_not_of(SeparatorOf(kNativePathStyle));
    return end == std::string_view::npos ? std::string(path) : GetFileName(path.substr(0, end + 1));
}

} // namespace

void PassFailures::NotCopied(const std::string& source, const std::string& destination, const std::string& cause) {
    ++notCopied_;
    Keep(NotCopiedRecord(source, destination, cause), source, cause);
}

void PassFailures::NotRead(const std::string& folder, const std::string& cause) {
    ++notRead_;
    Keep(NotReadRecord(folder, cause), folder, cause);
}

void PassFailures::NotKept(const std::string& destination, const std::string& cause) {
    ++notKept_;
    Keep(NotKeptRecord(destination, cause), destination, cause);
}

void PassFailures::NotRun(const std::string& cause) {
    notRun_ = Printable(cause);
    firstCause_ = notRun_;
    records_.push_back(notRun_);
}

void PassFailures::Keep(std::string record, std::string_view path, std::string_view cause) {
    if (firstCause_.empty()) {
        firstCause_ = Printable(LastName(path)) + ": " + Printable(cause);
    }
    if (records_.size() < keptLines_) {
        records_.push_back(std::move(record));
    }
}

std::string PassFailures::Summary() const {
    std::string summary = notRun_;
    if (notCopied_ > 0) {
        summary += (summary.empty() ? "" : ", ") + Counted(notCopied_, "file", "files", "not copied");
    }
    if (notRead_ > 0) {
        summary += (summary.empty() ? "" : ", ") + Counted(notRead_, "folder", "folders", "not read");
    }
    if (notKept_ > 0) {
        summary += (summary.empty() ? "" : ", ") + Counted(notKept_, "replaced file", "replaced files", "not kept");
    }
    return summary;
}

std::vector<std::string> PassFailures::Lines() const {
    std::vector<std::string> lines = records_;
    const std::int64_t unlisted = notCopied_ + notRead_ + notKept_ + (notRun_.empty() ? 0 : 1) -
                                  static_cast<std::int64_t>(records_.size());
    if (unlisted > 0) {
        lines.push_back("... and " + std::to_string(unlisted) + " more, not listed");
    }
    return lines;
}

} // namespace quillmere
