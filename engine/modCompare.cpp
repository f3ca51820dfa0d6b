// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/modCompare.h"

#include <algorithm>

namespace quillmere {

namespace {

const std::string& AdditionsProcedure() {
    static const std::string text = ProcedureText("modCompare.LookForAdditions");
    return text;
}

const std::string& ModifiedProcedure() {
    static const std::string text = ProcedureText("modCompare.LookForModified2");
    return text;
}

// One reading of a pair: each file's facts, and how their times stand. Exact times (nanoseconds) are compared,
// not the local date-time values of GetFileLastModified: a double counting days keeps only about a microsecond,
// so two different times could compare equal.
struct PairReading {
    std::optional<platform::FileFacts> file1;
    std::optional<platform::FileFacts> file2;
    TimeOrder order = TimeOrder::Same;
};

std::optional<std::int64_t> TimeOf(const std::optional<platform::FileFacts>& facts) {
    return facts ? std::optional<std::int64_t>(facts->lastWriteTime) : std::nullopt;
}

PairReading ReadPair(const std::string& path1, const std::string& path2, PassContext& pass) {
    PairReading reading{pass.Files().Read(path1), pass.Files().Read(path2), TimeOrder::Same};
    reading.order = CompareFileTimes(TimeOf(reading.file1), TimeOf(reading.file2), pass.TimeTolerance());
    return reading;
}

// The newer file over the older one, which is replaced only while both are still as this reading found them,
// and kept in the Trash when the pass keeps replaced files.
void CopyNewer(bool oneToTwo, const std::string& path1, const std::string& path2, const PairReading& reading,
               PassContext& pass) {
    if (oneToTwo) {
        pass.Copy(platform::CopyRequest{path1, path2, reading.file1, reading.file2, {}, pass.KeepsReplaced()});
    } else {
        pass.Copy(platform::CopyRequest{path2, path1, reading.file2, reading.file1, {}, pass.KeepsReplaced()});
    }
}

void ComparePair(const std::string& path1, const std::string& path2, PassContext& pass) {
    const std::string& procedure = ModifiedProcedure();
    ErrorSink& errors = pass.Observer();
    pass.PairCompared();
    // A direction that cannot be read copies nothing rather than guess.
    SyncDirection direction = SyncDirection::None;
    RunTrapped(errors, procedure, 114, [&] { direction = pass.Settings().Direction(); });
    PairReading reading;
    switch (direction) {
    case SyncDirection::BothWays:
        // One reading decides both ways. Reading both times again before the second test only matters when a
        // file changes between the two readings, a race either reading may win (and the copy checks the reading
        // still holds); the second reading cost half the time of a pass that finds nothing to do.
        RunTrapped(errors, procedure, 116, [&] { reading = ReadPair(path1, path2, pass); });
        if (reading.order == TimeOrder::Later) {
            RunTrapped(errors, procedure, 118, [&] { CopyNewer(true, path1, path2, reading, pass); });
        } else if (reading.order == TimeOrder::Earlier) {
            RunTrapped(errors, procedure, 122, [&] { CopyNewer(false, path1, path2, reading, pass); });
        }
        return;
    case SyncDirection::Folder1ToFolder2:
        RunTrapped(errors, procedure, 126, [&] { reading = ReadPair(path1, path2, pass); });
        if (reading.order == TimeOrder::Later) {
            RunTrapped(errors, procedure, 128, [&] { CopyNewer(true, path1, path2, reading, pass); });
        }
        return;
    case SyncDirection::Folder2ToFolder1:
        RunTrapped(errors, procedure, 132, [&] { reading = ReadPair(path1, path2, pass); });
        if (reading.order == TimeOrder::Earlier) {
            RunTrapped(errors, procedure, 134, [&] { CopyNewer(false, path1, path2, reading, pass); });
        }
        return;
    case SyncDirection::None:
        return;
    }
}

} // namespace

TimeOrder CompareFileTimes(std::optional<std::int64_t> time1, std::optional<std::int64_t> time2,
                           std::int64_t tolerance) {
    if (!time1 || !time2) {
        if (time1) {
            return TimeOrder::Later;
        }
        return time2 ? TimeOrder::Earlier : TimeOrder::Same;
    }
    // Unsigned differences cannot overflow, whatever the two times; a tolerance below 1 ns means exact.
    const auto window = static_cast<std::uint64_t>(std::max<std::int64_t>(tolerance, 1));
    if (*time1 >= *time2) {
        const std::uint64_t ahead = static_cast<std::uint64_t>(*time1) - static_cast<std::uint64_t>(*time2);
        return ahead < window ? TimeOrder::Same : TimeOrder::Later;
    }
    const std::uint64_t behind = static_cast<std::uint64_t>(*time2) - static_cast<std::uint64_t>(*time1);
    return behind < window ? TimeOrder::Same : TimeOrder::Earlier;
}

FileList LookForAdditions(const NameIndex& source, const NameIndex& other, ErrorSink& errors) {
    const std::string& procedure = AdditionsProcedure();
    FileList result;
    for (std::size_t i = 0; i < source.Paths().size(); ++i) {
        bool found = true;
        RunTrapped(errors, procedure, 112, [&] { found = other.Contains(source.NameOf(i)); });
        if (!found) {
            RunTrapped(errors, procedure, 120, [&] { result.push_back(source.Paths()[i]); });
        }
    }
    return result;
}

void LookForModified2(const NameIndex& list1, const NameIndex& list2, PassContext& pass) {
    for (std::size_t i = 0; i < list1.Paths().size(); ++i) {
        for (std::size_t j = list2.First(list1.NameOf(i)); j != NameIndex::npos; j = list2.Next(j)) {
            if (pass.StopRequested()) {
                return;
            }
            ComparePair(list1.Paths()[i], list2.Paths()[j], pass);
        }
    }
}

} // namespace quillmere
