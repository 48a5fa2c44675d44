#include "recovery.h"

#include <cinttypes>

#include "division.h"
#include "messages.h"
#include "platform.h"
#include "recovery_verdict.h"
#include "report.h"

namespace sundrel::cli {

namespace {

const Text kManifestLine = {"Manifest:     ID %s, %" PRIu64 " bytes, %u pieces, %u recovery pieces",
                            "マニフェスト:   ID %s、%" PRIu64 " バイト、分割ファイル %u 個、修復用ファイル %u 個"};
const Text kSha256Line = {"SHA-256:      %s", "SHA-256:        %s"};
const Text kUsable = {"%s: recovery piece %02u of %02u, usable",
                      "%s: 修復用ファイル %02u / %02u、使用できます"};
const Text kDamaged = {"%s: recovery piece %02u of %02u, damaged: %" PRIu64 " of its blocks cannot be used",
                       "%s: 修復用ファイル %02u / %02u が破損しています: %" PRIu64 " ブロックが使えません"};
const Text kOtherDivision = {"%s: a recovery piece of another division (ID %s), left out",
                             "%s: 別の分割の修復用ファイルです (ID %s)。対象外です"};
const Text kUnreadable = {"%s: no recovery piece can be read from it (%s)",
                          "%s: 修復用ファイルとして読み出せません (%s)"};
const Text kUnused = {"%s: a second recovery piece with the index %02u, left out",
                      "%s: 番号 %02u の修復用ファイルが二つあります。対象外です"};
const Text kNotRecovery = {"no manifest", "マニフェストがありません"};
const Text kCheck = {"its manifest fails its own SHA-256", "マニフェストが自身の SHA-256 と一致しません"};
const Text kValues = {"its manifest describes no division of this set",
                      "マニフェストがこの組の分割を表していません"};
const Text kShortfall = {"Too many pieces are missing or damaged to rebuild them: %" PRIu64
                         " more recovery pieces are needed",
                         "失われたか壊れた分割ファイルが多すぎて復元できません: 修復用ファイルがあと %" PRIu64
                         " 個必要です"};
const Text kMismatch = {"The data does not match the SHA-256 that the recovery pieces hold: %s",
                        "データが修復用ファイルの SHA-256 と一致しません: %s"};
const Text kReadFailedIn = {"An error occurred while reading the input file: %s",
                            "入力ファイルの読み出しでエラーが発生しました: %s"};
const Text kWriteFailed = {"An error occurred while writing: %s", "書き込みでエラーが発生しました: %s"};

}  // namespace

RecoverySet<char> ReadDivisionRecovery(SystemFolder& folder, const MergePlan<char>& plan)
{
    if (plan.recovery.empty())
        return {};
    return ReadRecoverySet(folder, plan);
}

void ShowManifest(const RecoveryManifest& manifest, Report& report)
{
    report.Line(Say(&kManifestLine, IdText(manifest.id).c_str(), manifest.sourceSize, manifest.count,
                    manifest.recoveryCount));
    report.Line(Say(&kSha256Line, Sha256Hex(manifest.source).c_str()));
}

JsonObject ManifestJson(const RecoveryManifest& manifest)
{
    JsonObject json;
    json.SetNumber("id", manifest.id).SetString("idTime", IdTime(manifest.id));
    json.SetNumber("sourceSize", manifest.sourceSize).SetString("sha256", Sha256Hex(manifest.source));
    return json.SetNumber("count", manifest.count).SetNumber("recoveryCount", manifest.recoveryCount);
}

const char* ManifestFaultText(ManifestFault fault)
{
    return Pick(fault == ManifestFault::Check    ? &kCheck
                : fault == ManifestFault::Values ? &kValues
                                                 : &kNotRecovery);
}

RecoveryFileState DescribeRecoveryFile(const MergePlan<char>& plan, const RecoverySet<char>& recovery,
                                       size_t file, const SetInspection* inspected,
                                       const SystemFolder& folder)
{
    const PlannedRecovery<char>& planned = plan.recovery[file];
    const char* name = planned.name.c_str();
    const RecoveryNumber& number = planned.number;
    switch (JudgeRecoveryFile(plan, recovery, file, inspected)) {
    case RecoveryFileKind::Usable:
        return {"usable", Say(&kUsable, name, number.index, number.total)};
    case RecoveryFileKind::Damaged: {
        uint64_t stripes = LayoutOf(recovery.manifest).Stripes();
        return {"damaged", Say(&kDamaged, name, number.index, number.total,
                               UnusableBlocks(inspected->recovery[number.index - 1], stripes))};
    }
    case RecoveryFileKind::OtherDivision:
        return {"other-division", Say(&kOtherDivision, name, IdText(planned.head.id).c_str())};
    case RecoveryFileKind::Unused:
        return {"unused", Say(&kUnused, name, number.index)};
    case RecoveryFileKind::Unreadable:
        break;
    }
    // No manifest, or the inspection could not read it.
    const RecoveryFileCheck check = file < recovery.files.size() ? recovery.files[file]
                                                                 : RecoveryFileCheck();
    std::string why = folder.ErrorOf(planned.name);
    if (why.empty() && check.verdict == RecoveryFileVerdict::Unreadable)
        why = ManifestFaultText(check.fault);
    return {"unreadable", Say(&kUnreadable, name, why.c_str())};
}

std::string ShortfallText(uint64_t shortfall)
{
    return Say(&kShortfall, shortfall);
}

int FailRebuild(const RebuildOutcome& outcome, uint64_t shortfall, const DivisionFiles& division,
                const RecoverySet<char>& recovery, const std::string& output, const std::string& why,
                Report& report)
{
    switch (outcome.status) {
    case RebuildStatus::Ok:
        return kExitOk;
    case RebuildStatus::Stopped:
        return report.Interrupted();
    case RebuildStatus::ReadFailed: {
        const std::string* name = FailedFileName(division.plan, recovery, outcome);
        std::string path = name ? JoinPath(division.selected.folder, *name) : division.selected.folder;
        return report.Fail(kExitFailed, "read-failed", Say(&kReadFailedIn, path.c_str()));
    }
    case RebuildStatus::WriteFailed:
        return report.Fail(kExitFailed, "write-failed", Say(&kWriteFailed, output.c_str()), why);
    case RebuildStatus::Unrecoverable:
        return report.Fail(kExitFailed, "unrecoverable", ShortfallText(shortfall));
    case RebuildStatus::Mismatch:
        return report.Fail(kExitFailed, "mismatch", Say(&kMismatch, output.c_str()));
    }
    return kExitFailed;
}

}  // namespace sundrel::cli
