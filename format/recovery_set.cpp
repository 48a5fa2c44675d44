#include "recovery_set.h"

#include "recovery_writer.h"

namespace sundrel {

RecoveryFileCheck ReadManifest(RandomSource* file, RecoveryManifest* manifest)
{
    RecoveryFileCheck check;
    uint64_t length = 0;
    uint8_t head[kManifestHeadSize];
    if (!file || !file->Size(&length) || length < kManifestHeadSize ||
        !ReadFully(*file, 0, head, sizeof head))
        return check;
    size_t manifestLength = ManifestLengthOf(head);
    if (manifestLength < kManifestHeadSize || manifestLength > length)
        return check;
    std::vector<uint8_t> bytes(manifestLength);
    if (!ReadFully(*file, 0, bytes.data(), bytes.size()))
        return check;
    check.fault = DecodeManifest(bytes.data(), bytes.size(), manifest);
    if (check.fault == ManifestFault::None)
        check.verdict = RecoveryFileVerdict::Usable;
    return check;
}

template <class C>
RecoverySet<C> ReadRecoverySet(PieceFolder<C>& folder, const MergePlan<C>& plan)
{
    RecoverySet<C> set;
    std::vector<RecoveryManifest> manifests(plan.recovery.size());
    for (size_t i = 0; i < plan.recovery.size(); ++i) {
        std::unique_ptr<RandomSource> file = folder.Open(plan.recovery[i].name);
        set.files.push_back(ReadManifest(file.get(), &manifests[i]));
        // A name that says another index or count than the manifest is no
        // piece of it.
        if (set.files[i].verdict == RecoveryFileVerdict::Usable &&
            (manifests[i].index != plan.recovery[i].number.index || manifests[i].count != plan.count))
            set.files[i] = {RecoveryFileVerdict::Unreadable, ManifestFault::Values};
    }
    // The manifest shared by the most files, preferring the set's own ID.
    size_t best = plan.recovery.size(), bestShared = 0;
    bool bestOwnId = false;
    for (size_t i = 0; i < manifests.size(); ++i) {
        if (set.files[i].verdict != RecoveryFileVerdict::Usable)
            continue;
        size_t shared = 0;
        for (size_t k = 0; k < manifests.size(); ++k)
            shared += set.files[k].verdict == RecoveryFileVerdict::Usable &&
                      manifests[k].SameDivision(manifests[i]);
        bool ownId = plan.hasId && manifests[i].id == plan.id;
        if (best == plan.recovery.size() || (ownId && !bestOwnId) ||
            (ownId == bestOwnId && shared > bestShared)) {
            best = i;
            bestShared = shared;
            bestOwnId = ownId;
        }
    }
    if (best == plan.recovery.size())
        return set;
    set.hasManifest = true;
    set.manifest = manifests[best];
    for (size_t i = 0; i < manifests.size(); ++i)
        if (set.files[i].verdict == RecoveryFileVerdict::Usable &&
            !manifests[i].SameDivision(set.manifest))
            set.files[i].verdict = RecoveryFileVerdict::OtherDivision;
    return set;
}

template <class C>
OpenedSet OpenRecoverySet(PieceFolder<C>& folder, const MergePlan<C>& plan,
                          const RecoverySet<C>& recovery)
{
    OpenedSet opened;
    auto open = [&](const std::basic_string<C>& name) {
        opened.files.push_back(folder.Open(name));
        return opened.files.back().get();
    };
    opened.sources.pieces.assign(recovery.manifest.count, nullptr);
    opened.sources.recovery.assign(recovery.manifest.recoveryCount, nullptr);
    for (unsigned n = 1; n <= plan.count && n <= recovery.manifest.count; ++n)
        if (plan.places[n - 1] >= 0)
            opened.sources.pieces[n - 1] = open(plan.Place(n).name);
    for (size_t i = 0; i < plan.recovery.size(); ++i) {
        unsigned index = plan.recovery[i].number.index;
        if (recovery.files[i].verdict == RecoveryFileVerdict::Usable &&
            index <= recovery.manifest.recoveryCount && !opened.sources.recovery[index - 1])
            opened.sources.recovery[index - 1] = open(plan.recovery[i].name);
    }
    return opened;
}

template <class C>
const std::basic_string<C>* FailedFileName(const MergePlan<C>& plan, const RecoverySet<C>& recovery,
                                           const RebuildOutcome& outcome)
{
    if (!outcome.inRecovery)
        return outcome.piece < plan.count && plan.places[outcome.piece] >= 0
                   ? &plan.Place(outcome.piece + 1).name
                   : nullptr;
    for (size_t i = 0; i < plan.recovery.size(); ++i)
        if (recovery.files[i].verdict == RecoveryFileVerdict::Usable &&
            plan.recovery[i].number.index == outcome.piece + 1)
            return &plan.recovery[i].name;
    return nullptr;
}

template <class C>
uint64_t SetBytes(const MergePlan<C>& plan, const RecoverySet<C>& recovery)
{
    uint64_t total = 0;
    for (unsigned n = 1; n <= plan.count; ++n)
        if (plan.places[n - 1] >= 0)
            total += plan.Place(n).head.length;
    for (size_t i = 0; i < plan.recovery.size(); ++i)
        if (recovery.files[i].verdict == RecoveryFileVerdict::Usable)
            total += plan.recovery[i].head.length;
    return total;
}

template <class C>
std::vector<std::basic_string<C>> SetFileNames(const MergePlan<C>& plan, const RecoverySet<C>& recovery)
{
    std::vector<std::basic_string<C>> names;
    for (unsigned n = 1; n <= plan.count; ++n)
        if (plan.places[n - 1] >= 0 && plan.Place(n).verdict == PlanVerdict::Member)
            names.push_back(plan.Place(n).name);
    for (size_t i = 0; i < plan.recovery.size(); ++i)
        if (recovery.files[i].verdict == RecoveryFileVerdict::Usable)
            names.push_back(plan.recovery[i].name);
    return names;
}

std::vector<unsigned> RebuiltPieces(const SetInspection& inspection)
{
    std::vector<unsigned> rebuilt;
    for (size_t p = 0; p < inspection.pieces.size(); ++p)
        if (!DataIsWhole(inspection.pieces[p].state))
            rebuilt.push_back(unsigned(p + 1));
    return rebuilt;
}

template RecoverySet<char> ReadRecoverySet<char>(PieceFolder<char>&, const MergePlan<char>&);
template RecoverySet<wchar_t> ReadRecoverySet<wchar_t>(PieceFolder<wchar_t>&, const MergePlan<wchar_t>&);
template OpenedSet OpenRecoverySet<char>(PieceFolder<char>&, const MergePlan<char>&, const RecoverySet<char>&);
template OpenedSet OpenRecoverySet<wchar_t>(PieceFolder<wchar_t>&, const MergePlan<wchar_t>&,
                                            const RecoverySet<wchar_t>&);

template const std::string* FailedFileName<char>(const MergePlan<char>&, const RecoverySet<char>&,
                                                 const RebuildOutcome&);
template const std::wstring* FailedFileName<wchar_t>(const MergePlan<wchar_t>&,
                                                     const RecoverySet<wchar_t>&, const RebuildOutcome&);
template uint64_t SetBytes<char>(const MergePlan<char>&, const RecoverySet<char>&);
template uint64_t SetBytes<wchar_t>(const MergePlan<wchar_t>&, const RecoverySet<wchar_t>&);
template std::vector<std::string> SetFileNames<char>(const MergePlan<char>&, const RecoverySet<char>&);
template std::vector<std::wstring> SetFileNames<wchar_t>(const MergePlan<wchar_t>&,
                                                         const RecoverySet<wchar_t>&);

}  // namespace sundrel
