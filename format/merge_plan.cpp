#include "merge_plan.h"

#include <algorithm>
#include <map>
#include <set>

namespace sundrel {

namespace {

bool HasWholeId(const FileHead& head)
{
    return head.readable && head.idBytes == int(kPieceIdSize);
}

template <class C>
bool InPlace(const PlannedFile<C>& file, unsigned count)
{
    return file.number.count == count && file.number.number >= 1 && file.number.number <= count;
}

// The set's ID: the selected piece's, unless another ID holds more places
// among the files of the set's name and count. A damaged ID in one piece
// then points at that piece, whichever piece was selected.
template <class C>
bool ElectId(const MergePlan<C>& plan, uint32_t* id)
{
    std::map<uint32_t, std::set<unsigned>> places;
    std::vector<uint32_t> order;   // first seen, in file order
    for (const PlannedFile<C>& file : plan.files)
        if (InPlace(file, plan.count) && HasWholeId(file.head)) {
            if (places.find(file.head.id) == places.end())
                order.push_back(file.head.id);
            places[file.head.id].insert(file.number.number);
        }
    bool found = HasWholeId(plan.selectedHead);
    *id = plan.selectedHead.id;
    size_t held = found ? places[*id].size() : 0;
    for (uint32_t candidate : order)
        if (!found || places[candidate].size() > held) {
            found = true;
            *id = candidate;
            held = places[candidate].size();
        }
    return found;
}

PlanVerdict FaultOf(const FileHead& head)
{
    if (!head.readable)
        return PlanVerdict::Unreadable;
    return head.idBytes < int(kPieceIdSize) ? PlanVerdict::ShortId : PlanVerdict::ForeignId;
}

// Files of the set's ID take their places first, the selected piece before
// the others; then files without it fill the places still free, as the
// pieces at fault there.
template <class C>
void JudgeFiles(MergePlan<C>& plan, bool emptySource)
{
    auto matches = [&](const FileHead& head) {
        if (emptySource)
            return head.readable && head.length == 0;
        return plan.hasId && HasWholeId(head) && head.id == plan.id;
    };
    std::vector<size_t> order;
    if (plan.selectedIndex >= 0)
        order.push_back(size_t(plan.selectedIndex));
    for (size_t i = 0; i < plan.files.size(); ++i)
        if (int(i) != plan.selectedIndex)
            order.push_back(i);

    plan.places.assign(plan.count, -1);
    for (size_t i : order) {
        PlannedFile<C>& file = plan.files[i];
        if (!matches(file.head))
            continue;
        if (!InPlace(file, plan.count)) {
            file.verdict = PlanVerdict::WrongCount;
        } else if (plan.places[file.number.number - 1] >= 0) {
            file.verdict = PlanVerdict::Duplicate;
        } else {
            file.verdict = PlanVerdict::Member;
            plan.places[file.number.number - 1] = int(i);
        }
    }
    for (size_t i : order) {
        PlannedFile<C>& file = plan.files[i];
        if (matches(file.head))
            continue;
        if (InPlace(file, plan.count) && plan.places[file.number.number - 1] < 0) {
            file.verdict = FaultOf(file.head);
            plan.places[file.number.number - 1] = int(i);
        } else {
            file.verdict = PlanVerdict::PassedOver;
        }
    }
}

// The layout's rule over the lengths, once every place is held by a file
// that could be measured.
template <class C>
void JudgeLengths(MergePlan<C>& plan)
{
    std::vector<uint64_t> lengths;
    for (int index : plan.places) {
        if (index < 0 || !plan.files[size_t(index)].head.readable)
            return;
        lengths.push_back(plan.files[size_t(index)].head.length);
    }
    std::vector<LengthFault> faults(lengths.size());
    plan.firstLengthFault = CheckPieceLengths(lengths.data(), lengths.size(), faults.data());
    for (size_t i = 0; i < faults.size(); ++i)
        plan.files[size_t(plan.places[i])].lengthFault = faults[i];
    plan.lengthsJudged = true;
}

}  // namespace

template <class C>
bool MergePlan<C>::Collected() const
{
    if (!folderRead || count == 0 || selectedAtFault || !missing.empty() || !lengthsJudged)
        return false;
    for (const PlannedFile<C>& file : files)
        if (file.verdict != PlanVerdict::Member && file.verdict != PlanVerdict::PassedOver)
            return false;
    return true;
}

template <class C>
MergePlan<C> PlanMerge(PieceFolder<C>& folder, std::basic_string_view<C> selectedName,
                       DigitTest<C> isDigit)
{
    MergePlan<C> plan;
    std::basic_string_view<C> divided;
    int count = PieceCountOfName(selectedName, isDigit);
    if (!DividedNameOf(selectedName, &divided, isDigit) || count < 1 ||
        unsigned(count) > kMaxPieceCount)
        return plan;
    plan.dividedName = std::basic_string<C>(divided);
    plan.count = unsigned(count);
    plan.firstLengthFault = plan.count;
    plan.selectedHead = folder.ReadHead(selectedName);

    std::vector<std::basic_string<C>> names;
    plan.folderRead = folder.ListCandidates(divided, &names);
    for (std::basic_string<C>& name : names) {
        PlannedRecovery<C> recovery;
        if (ParseRecoveryFileName<C>(name, divided, &recovery.number) &&
            recovery.number.count == plan.count) {
            recovery.head = name == selectedName ? plan.selectedHead : folder.ReadHead(name);
            recovery.name = std::move(name);
            plan.recovery.push_back(std::move(recovery));
            continue;
        }
        PlannedFile<C> file;
        if (!ParsePieceFileName<C>(name, divided, &file.number))
            continue;
        file.head = name == selectedName ? plan.selectedHead : folder.ReadHead(name);
        file.name = std::move(name);
        plan.files.push_back(std::move(file));
    }
    std::sort(plan.files.begin(), plan.files.end(),
              [](const PlannedFile<C>& a, const PlannedFile<C>& b) {
                  if (a.number.number != b.number.number)
                      return a.number.number < b.number.number;
                  return a.name < b.name;
              });
    std::sort(plan.recovery.begin(), plan.recovery.end(),
              [](const PlannedRecovery<C>& a, const PlannedRecovery<C>& b) {
                  if (a.number.index != b.number.index)
                      return a.number.index < b.number.index;
                  return a.name < b.name;
              });
    for (size_t i = 0; i < plan.files.size(); ++i)
        if (plan.files[i].name == selectedName)
            plan.selectedIndex = int(i);

    // The one piece of an empty source holds no ID at all.
    bool emptySource = plan.count == 1 && plan.selectedHead.readable &&
                       plan.selectedHead.length == 0;
    plan.hasId = !emptySource && ElectId(plan, &plan.id);
    plan.selectedAtFault = !emptySource && (!plan.hasId || !HasWholeId(plan.selectedHead) ||
                                            plan.selectedHead.id != plan.id);
    JudgeFiles(plan, emptySource);
    for (unsigned n = 1; n <= plan.count; ++n)
        if (plan.places[n - 1] < 0)
            plan.missing.push_back(n);
    JudgeLengths(plan);
    return plan;
}

template struct MergePlan<char>;
template struct MergePlan<wchar_t>;
template MergePlan<char> PlanMerge<char>(PieceFolder<char>&, std::string_view, DigitTest<char>);
template MergePlan<wchar_t> PlanMerge<wchar_t>(PieceFolder<wchar_t>&, std::wstring_view,
                                               DigitTest<wchar_t>);

}  // namespace sundrel
