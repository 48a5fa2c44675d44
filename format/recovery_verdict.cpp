#include "recovery_verdict.h"

#include <algorithm>

namespace sundrel {

template <class C>
RecoveryFileKind JudgeRecoveryFile(const MergePlan<C>& plan, const RecoverySet<C>& recovery,
                                   size_t file, const SetInspection* inspected)
{
    const RecoveryFileCheck check = file < recovery.files.size() ? recovery.files[file] : RecoveryFileCheck();
    if (check.verdict == RecoveryFileVerdict::OtherDivision)
        return RecoveryFileKind::OtherDivision;
    if (check.verdict == RecoveryFileVerdict::Unreadable)
        return RecoveryFileKind::Unreadable;
    const unsigned index = plan.recovery[file].number.index;
    for (size_t i = 0; i < file; ++i)
        if (recovery.files[i].verdict == RecoveryFileVerdict::Usable && plan.recovery[i].number.index == index)
            return RecoveryFileKind::Unused;
    if (!inspected || index > inspected->recovery.size())
        return RecoveryFileKind::Usable;
    switch (inspected->recovery[index - 1].state) {
    case RecoveryState::Usable:
        return RecoveryFileKind::Usable;
    case RecoveryState::Damaged:
        return RecoveryFileKind::Damaged;
    default:
        return RecoveryFileKind::Unreadable;
    }
}

uint64_t UnusableBlocks(const RecoveryInspection& inspected, uint64_t stripes)
{
    uint64_t bad = inspected.badStripes.size();
    if (inspected.cutFrom != kNotCut)
        for (uint64_t s = inspected.cutFrom; s < stripes; ++s)
            bad += !std::binary_search(inspected.badStripes.begin(), inspected.badStripes.end(), s);
    return bad;
}

template <class C>
std::vector<unsigned> UnnamedRecoveryPieces(const MergePlan<C>& plan, const RecoverySet<C>& recovery)
{
    std::vector<unsigned> unnamed;
    for (unsigned index = 1; index <= recovery.manifest.recoveryCount; ++index)
        if (std::none_of(plan.recovery.begin(), plan.recovery.end(),
                         [&](const PlannedRecovery<C>& file) { return file.number.index == index; }))
            unnamed.push_back(index);
    return unnamed;
}

template RecoveryFileKind JudgeRecoveryFile<char>(const MergePlan<char>&, const RecoverySet<char>&, size_t,
                                                  const SetInspection*);
template std::vector<unsigned> UnnamedRecoveryPieces<char>(const MergePlan<char>&, const RecoverySet<char>&);

}  // namespace sundrel
