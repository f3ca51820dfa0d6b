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

// Exact times (nanoseconds) are compared, not the local date-time values of GetFileLastModified: a double
// counting days keeps only about a microsecond, so two different times could compare equal.
TimeOrder ReadOrder(const std::string& path1, const std::string& path2, PassContext& pass) {
    const std::optional<std::int64_t> time1 = pass.Files().LastWriteTime(path1);
    const std::optional<std::int64_t> time2 = pass.Files().LastWriteTime(path2);
    return CompareFileTimes(time1, time2, pass.TimeTolerance());
}

void ComparePair(const std::string& path1, const std::string& path2, PassContext& pass) {
    const std::string& procedure = ModifiedProcedure();
    ErrorSink& errors = pass.Observer();
    pass.PairCompared();
    // A direction that cannot be read copies nothing rather than guess.
    SyncDirection direction = SyncDirection::None;
    RunTrapped(errors, procedure, 114, [&] { direction = pass.Settings().Direction(); });
    TimeOrder order = TimeOrder::Same;
    switch (direction) {
    case SyncDirection::BothWays:
        // One reading decides both ways. Reading both times again before the second test only matters when a
        // file changes between the two readings, a race either reading may win; the second reading cost half
        // the time of a pass that finds nothing to do.
        RunTrapped(errors, procedure, 116, [&] { order = ReadOrder(path1, path2, pass); });
        if (order == TimeOrder::Later) {
            RunTrapped(errors, procedure, 118, [&] { pass.Copy(path1, path2); });
        } else if (order == TimeOrder::Earlier) {
            RunTrapped(errors, procedure, 122, [&] { pass.Copy(path2, path1); });
        }
        return;
    case SyncDirection::Folder1ToFolder2:
        RunTrapped(errors, procedure, 126, [&] { order = ReadOrder(path1, path2, pass); });
        if (order == TimeOrder::Later) {
            RunTrapped(errors, procedure, 128, [&] { pass.Copy(path1, path2); });
        }
        return;
    case SyncDirection::Folder2ToFolder1:
        RunTrapped(errors, procedure, 132, [&] { order = ReadOrder(path1, path2, pass); });
        if (order == TimeOrder::Earlier) {
            RunTrapped(errors, procedure, 134, [&] { pass.Copy(path2, path1); });
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
