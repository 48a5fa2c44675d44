// sundrel list [DIR]: the sets of pieces in a folder, each through its merge
// plan: divided name, count, ID, whether it is complete, and its recovery
// pieces. Reads only the pieces' heads; sundrel verify checks their blocks.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "commands.h"
#include "division.h"
#include "messages.h"
#include "platform.h"
#include "replacement.h"
#include "report.h"

namespace sundrel::cli {

namespace {

const Text kNotAFolder = {"Not a folder: %s", "フォルダではありません: %s"};
const Text kFolderUnreadable = {"The folder cannot be read: %s", "フォルダを読み出せません: %s"};
const Text kSetLine = {"%s: %u pieces, ID %s: %s", "%s: 分割ファイル %u 個、ID %s: %s"};
const Text kSetNoIdLine = {"%s: %u pieces, no ID: %s", "%s: 分割ファイル %u 個、ID なし: %s"};
const Text kComplete = {"complete", "そろっています"};
const Text kMissing = {"missing %s", "不足 %s"};
const Text kFaulty = {"would not merge (sundrel verify tells why)",
                      "統合できません (理由は sundrel verify で表示されます)"};
const Text kWithRecovery = {"%s, %u recovery pieces", "%s、修復用ファイル %u 個"};
const Text kTemporary = {"%s: a temporary file of a divide that did not finish",
                         "%s: 終わらなかった分割の一時ファイルです"};
const Text kNothing = {"No pieces in %s", "%s に分割ファイルはありません"};

const Text kOperands = {"[DIR]", "[フォルダ]"};
const Text kSummary = {"list the sets of pieces in DIR (default .)",
                       "フォルダ (既定 .) にある分割ファイルの組を一覧表示します"};
const Text kDetails = {
    "One line per set: the divided file's name, the piece count, the ID with the time (UTC) its\n"
    "division began, and whether the set is complete or which numbers are missing. Reads only\n"
    "the pieces' first bytes and lengths; sundrel verify checks their blocks. A set's recovery\n"
    "pieces are counted on its line.",
    "組ごとに 1 行: 分割元の名前、分割数、ID とその分割が始まった時刻 (UTC)、組がそろっているか、\n"
    "足りない番号。分割ファイルの先頭と長さだけを読みます。ブロックの検査は sundrel verify で行います。\n"
    "組の修復用ファイルの数も同じ行に表示します。"};
const ResultKey kResult[] = {{"folder", "null"}, {"sets", "[]"}, {"temporaryFiles", "[]"},
                             {nullptr, nullptr}};

const char* StateOf(const MergePlan<char>& plan)
{
    if (plan.Mergeable())
        return "complete";
    return plan.missing.empty() ? "faulty" : "incomplete";
}

// One set's line and JSON; marks the files it accounts for.
std::string ShowSet(const MergePlan<char>& plan, std::set<std::string>* accounted, Report& report)
{
    JsonArray pieces, missing;
    for (const PlannedFile<char>& file : plan.files)
        if (file.verdict != PlanVerdict::PassedOver) {
            accounted->insert(file.name);
            if (file.verdict == PlanVerdict::Member)
                pieces.AddName(file.name);
        }
    for (unsigned n : plan.missing)
        missing.AddNumber(n);
    JsonArray recovery;
    for (const PlannedRecovery<char>& file : plan.recovery) {
        accounted->insert(file.name);
        recovery.AddName(file.name);
    }
    std::string state = plan.Mergeable()       ? Pick(&kComplete)
                        : plan.missing.empty() ? Pick(&kFaulty)
                                               : Say(&kMissing, NumberList(plan.missing).c_str());
    if (!plan.recovery.empty())
        state = Say(&kWithRecovery, state.c_str(), unsigned(plan.recovery.size()));
    report.Line(plan.hasId ? Say(&kSetLine, plan.dividedName.c_str(), plan.count,
                                 IdText(plan.id).c_str(), state.c_str())
                           : Say(&kSetNoIdLine, plan.dividedName.c_str(), plan.count, state.c_str()));
    JsonObject json;
    json.SetName("dividedFile", plan.dividedName).SetNumber("count", plan.count);
    if (plan.hasId)
        json.SetNumber("id", plan.id).SetString("idTime", IdTime(plan.id));
    else
        json.SetNull("id").SetNull("idTime");
    json.SetString("state", StateOf(plan)).Set("pieces", pieces.Dump()).Set("missing", missing.Dump());
    json.Set("recoveryPieces", recovery.Dump());
    return json.Dump();
}

int RunList(const Options& options, Report& report)
{
    std::string dir = options.operands.empty() ? "." : options.operands[0];
    report.Result().SetName("folder", dir);
    if (KindOf(dir) != PathKind::Folder)
        return report.Fail(kExitUsage, "not-a-folder", Say(&kNotAFolder, dir.c_str()));
    SystemFolder folder(dir);
    std::vector<std::string> names;
    if (!folder.ListCandidates("", &names))
        return report.Fail(kExitFailed, "folder-unreadable", Say(&kFolderUnreadable, dir.c_str()),
                           folder.listError());
    std::sort(names.begin(), names.end());
    JsonArray sets, temporary;
    std::set<std::string> accounted;
    for (const std::string& name : names) {
        if (Interrupted())
            return report.Interrupted();
        std::string_view divided;
        PieceNumber number;
        RecoveryNumber recovery;
        // A set is found through any of its pieces, or its recovery pieces
        // when no piece is left.
        if (accounted.count(name) || !DividedNameOf<char>(name, &divided))
            continue;
        bool piece = ParsePieceFileName<char>(name, divided, &number) && number.count > 0;
        if (!piece && !ParseRecoveryFileName<char>(name, divided, &recovery))
            continue;
        MergePlan<char> plan = PlanMerge<char>(folder, name);
        accounted.insert(name);
        sets.Add(ShowSet(plan, &accounted, report));
    }
    for (const std::string& name : names)
        if (IsTemporaryName(name)) {
            report.Line(Say(&kTemporary, name.c_str()));
            temporary.AddName(name);
        }
    if (sets.Empty() && temporary.Empty())
        report.Line(Say(&kNothing, dir.c_str()));
    report.Result().Set("sets", sets.Dump()).Set("temporaryFiles", temporary.Dump());
    return kExitOk;
}

}  // namespace

const CommandSpec kListCommand = {
    "list", &kOperands, &kSummary, &kDetails, 0, 0, 1, kResult, RunList,
};

}  // namespace sundrel::cli
