// SPDX-License-Identifier: GPL-3.0-or-later
// The window's trapped steps: each handler's procedure, and the numbered steps its error reports name. The
// numbers follow each handler's steps in order, from 100 in steps of 2; a handler's guard around its whole body
// reports line 0.
#pragma once

#include "base/ErrorTrap.h"

#include <string_view>

namespace quillmere {

namespace form1_procedure {
inline constexpr std::string_view kFormLoad = "Form1.Form_Load";
inline constexpr std::string_view kFormQueryUnload = "Form1.Form_QueryUnload";
inline constexpr std::string_view kFormResize = "Form1.Form_Resize";
inline constexpr std::string_view kPushButton3 = "Form1.PushButton3_Click";
inline constexpr std::string_view kPushButton1 = "Form1.PushButton1_Click";
inline constexpr std::string_view kListView1DblClick = "Form1.ListView1_DblClick";
inline constexpr std::string_view kListView2DblClick = "Form1.ListView2_DblClick";
inline constexpr std::string_view kListView3Click = "Form1.ListView3_Click";
inline constexpr std::string_view kTimer1 = "Form1.Timer1";
inline constexpr std::string_view kPushButton13 = "Form1.PushButton13_Click";
inline constexpr std::string_view kPushButton12 = "Form1.PushButton12_Click";
inline constexpr std::string_view kPushButton14 = "Form1.PushButton14_Click";
inline constexpr std::string_view kCheck9 = "Form1.Check9_Click";
inline constexpr std::string_view kCheck10 = "Form1.Check10_Click";
inline constexpr std::string_view kCheck11 = "Form1.Check11_Click";
inline constexpr std::string_view kCheck12 = "Form1.Check12_Click";
inline constexpr std::string_view kChangeWatch = "Form1.ChangeWatch_News";
inline constexpr std::string_view kTrayAvailability = "Form1.cSysTray1_AvailabilityChanged";
inline constexpr std::string_view kTrayMouseUp = "Form1.cSysTray1_MouseUp";
} // namespace form1_procedure

enum class Form1Step {
    // The load step.
    ApplySkin,
    LoadHandCursor,
    ShowHomePage,
    SetAppTitle,
    AddColumns,
    AddIntervals,
    RestoreFolder1,
    RestoreFolder2,
    ReadInterval,
    SelectInterval,
    RestoreAutoSync,
    SetTrayTip,
    PutInTray,
    RestoreStartWithSystem,
    RestoreStartInTray,
    StartInTray,
    RestoreKeepReplaced,
    RefuseStoredPair,
    RestoreSyncOnChange,
    // The close.
    SaveFolder1,
    SaveFolder2,
    TakeOutOfTray,
    // Choosing a folder, for each list.
    BrowseFolder1,
    SaveLastFolder1,
    AddFolder1,
    BrowseFolder2,
    SaveLastFolder2,
    AddFolder2,
    // The scheduler.
    SaveInterval,
    LookUpInterval,
    StartAutomaticPass,
    SaveAutoSyncOn,
    SaveAutoSyncOff,
    StartManualPass,
    // Sync as soon as files change.
    SaveSyncOnChange,
    WatchPair,
    StartChangePass,
    // The start-up options.
    SaveStartWithSystemOn,
    AddToStartup,
    SaveStartWithSystemOff,
    RemoveFromStartup,
};

inline constexpr StepEntry<Form1Step> kForm1Steps[] = {
    {Form1Step::ApplySkin, {form1_procedure::kFormLoad, 102}},
    {Form1Step::LoadHandCursor, {form1_procedure::kFormLoad, 104}},
    {Form1Step::ShowHomePage, {form1_procedure::kFormLoad, 106}},
    {Form1Step::SetAppTitle, {form1_procedure::kFormLoad, 108}},
    {Form1Step::AddColumns, {form1_procedure::kFormLoad, 110}},
    {Form1Step::AddIntervals, {form1_procedure::kFormLoad, 112}},
    {Form1Step::RestoreFolder1, {form1_procedure::kFormLoad, 114}},
    {Form1Step::RestoreFolder2, {form1_procedure::kFormLoad, 116}},
    {Form1Step::ReadInterval, {form1_procedure::kFormLoad, 118}},
    {Form1Step::SelectInterval, {form1_procedure::kFormLoad, 120}},
    {Form1Step::RestoreAutoSync, {form1_procedure::kFormLoad, 122}},
    {Form1Step::SetTrayTip, {form1_procedure::kFormLoad, 124}},
    {Form1Step::PutInTray, {form1_procedure::kFormLoad, 126}},
    {Form1Step::RestoreStartWithSystem, {form1_procedure::kFormLoad, 128}},
    {Form1Step::RestoreStartInTray, {form1_procedure::kFormLoad, 130}},
    {Form1Step::StartInTray, {form1_procedure::kFormLoad, 132}},
    {Form1Step::RestoreKeepReplaced, {form1_procedure::kFormLoad, 134}},
    {Form1Step::RefuseStoredPair, {form1_procedure::kFormLoad, 136}},
    {Form1Step::RestoreSyncOnChange, {form1_procedure::kFormLoad, 138}},
    {Form1Step::SaveFolder1, {form1_procedure::kFormQueryUnload, 100}},
    {Form1Step::SaveFolder2, {form1_procedure::kFormQueryUnload, 102}},
    {Form1Step::TakeOutOfTray, {form1_procedure::kFormQueryUnload, 104}},
    {Form1Step::BrowseFolder1, {form1_procedure::kPushButton3, 104}},
    {Form1Step::SaveLastFolder1, {form1_procedure::kPushButton3, 108}},
    {Form1Step::AddFolder1, {form1_procedure::kPushButton3, 112}},
    {Form1Step::BrowseFolder2, {form1_procedure::kPushButton1, 104}},
    {Form1Step::SaveLastFolder2, {form1_procedure::kPushButton1, 108}},
    {Form1Step::AddFolder2, {form1_procedure::kPushButton1, 112}},
    {Form1Step::SaveInterval, {form1_procedure::kListView3Click, 100}},
    {Form1Step::LookUpInterval, {form1_procedure::kTimer1, 102}},
    {Form1Step::StartAutomaticPass, {form1_procedure::kTimer1, 120}},
    {Form1Step::SaveAutoSyncOn, {form1_procedure::kPushButton13, 108}},
    {Form1Step::SaveAutoSyncOff, {form1_procedure::kPushButton13, 116}},
    {Form1Step::StartManualPass, {form1_procedure::kPushButton12, 106}},
    {Form1Step::SaveSyncOnChange, {form1_procedure::kCheck12, 100}},
    {Form1Step::WatchPair, {form1_procedure::kCheck12, 102}},
    {Form1Step::StartChangePass, {form1_procedure::kChangeWatch, 100}},
    {Form1Step::SaveStartWithSystemOn, {form1_procedure::kCheck10, 106}},
    {Form1Step::AddToStartup, {form1_procedure::kCheck10, 108}},
    {Form1Step::SaveStartWithSystemOff, {form1_procedure::kCheck10, 118}},
    {Form1Step::RemoveFromStartup, {form1_procedure::kCheck10, 120}},
};
static_assert(IsStepTable(kForm1Steps));

constexpr const TrapStep& StepOf(Form1Step id) {
    return StepIn(kForm1Steps, id);
}

} // namespace quillmere
