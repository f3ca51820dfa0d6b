#include "engine/modCompare.h"

#include "engine/NameIndex.h"
#include "fs/Main.h"

#include <algorithm>
#include <memory>

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
        RunTrapped(errors, procedure, 116, [&] { order = ReadOrder(path1, path2, pass); });
        if (order == TimeOrder::Later) {
            RunTrapped(errors, procedure, 118, [&] { pass.Copy(path1, path2); });
            return;
        }
        RunTrapped(errors, procedure, 120, [&] { order = ReadOrder(path1, path2, pass); });
        if (order == TimeOrder::Earlier) {
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

FileList LookForAdditions(const FileList& source, const FileList& other, ErrorSink& errors) {
    const std::string& procedure = AdditionsProcedure();
    FileList result;
    std::unique_ptr<NameIndex> otherNames;
    if (!RunTrapped(errors, procedure, 100, [&] { otherNames = std::make_unique<NameIndex>(other); })) {
        return result;
    }
    for (const std::string& path : source) {
        bool found = true;
        RunTrapped(errors, procedure, 112, [&] { found = otherNames->Contains(GetFileName(path)); });
        if (!found) {
            RunTrapped(errors, procedure, 120, [&] { result.push_back(path); });
        }
    }
    return result;
}

void LookForModified2(const FileList& list1, const FileList& list2, PassContext& pass) {
    const std::string& procedure = ModifiedProcedure();
    std::unique_ptr<NameIndex> names2;
    if (!RunTrapped(pass.Observer(), procedure, 102, [&] { names2 = std::make_unique<NameIndex>(list2); })) {
        return;
    }
    for (const std::string& path1 : list1) {
        std::size_t j = NameIndex::npos;
        RunTrapped(pass.Observer(), procedure, 112, [&] { j = names2->First(GetFileName(path1)); });
        for (; j != NameIndex::npos; j = names2->Next(j)) {
            if (pass.StopRequested()) {
                return;
            }
            ComparePair(path1, list2[j], pass);
        }
    }
}

} // namespace quillmere
