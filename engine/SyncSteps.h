// SPDX-License-Identifier: GPL-3.0-or-later
// The pass's trapped steps (modSync.SyncFolders), from the listing of the two sides to the last copies settled, with
// the line each error report names: the steps of listing a side, the additions each way a direction allows, the
// comparison, and the copies made at the end.
#pragma once

#include "base/ErrorTrap.h"

#include <string_view>

namespace quillmere {

enum class SyncStep {
    IndexFolder1,
    IndexFolder2,
    TellNotRun, // another pass holds the folders
    WalkFolder1,
    WalkFolder2,
    ReadDirection,
    // The additions both ways, then one way: looking for them, and copying them.
    LookBothWays1To2,
    LookBothWays2To1,
    CopyBothWays1To2,
    CopyBothWays2To1,
    Look1To2,
    Copy1To2,
    Look2To1,
    Copy2To1,
    LookForModified,
    SettleCopies, // what is left to copy when the pass ends, stopped or not
};

inline constexpr std::string_view kSyncProcedure = "modSync.SyncFolders";

inline constexpr StepEntry<SyncStep> kSyncSteps[] = {
    {SyncStep::IndexFolder1, {kSyncProcedure, 100}},     {SyncStep::IndexFolder2, {kSyncProcedure, 102}},
    {SyncStep::TellNotRun, {kSyncProcedure, 104}},       {SyncStep::WalkFolder1, {kSyncProcedure, 110}},
    {SyncStep::WalkFolder2, {kSyncProcedure, 134}},      {SyncStep::ReadDirection, {kSyncProcedure, 154}},
    {SyncStep::LookBothWays1To2, {kSyncProcedure, 156}}, {SyncStep::LookBothWays2To1, {kSyncProcedure, 158}},
    {SyncStep::CopyBothWays1To2, {kSyncProcedure, 162}}, {SyncStep::CopyBothWays2To1, {kSyncProcedure, 168}},
    {SyncStep::Look1To2, {kSyncProcedure, 174}},         {SyncStep::Copy1To2, {kSyncProcedure, 178}},
    {SyncStep::Look2To1, {kSyncProcedure, 184}},         {SyncStep::Copy2To1, {kSyncProcedure, 188}},
    {SyncStep::LookForModified, {kSyncProcedure, 192}},  {SyncStep::SettleCopies, {kSyncProcedure, 194}},
};
static_assert(IsStepTable(kSyncSteps));

constexpr const TrapStep& StepOf(SyncStep id) {
    return StepIn(kSyncSteps, id);
}

} // namespace quillmere
