// The recovery pieces of a division as the companion shows and uses them:
// read through the core, their manifest in lines and JSON, what is wrong
// with each of them, and a rebuild's failure said. Shared by verify, merge,
// repair, info and list.
#pragma once

#include <cstdint>
#include <string>

#include "json.h"
#include "recovery_inspection.h"
#include "recovery_rebuild.h"
#include "recovery_set.h"

namespace sundrel::cli {

class Report;
class SystemFolder;
struct DivisionFiles;

// The manifest the plan's recovery pieces agree on; hasManifest is false
// when there are none or none can be read.
RecoverySet<char> ReadDivisionRecovery(SystemFolder& folder, const MergePlan<char>& plan);

// "Manifest: ID ..., N bytes, SHA-256 ..." and the counts, as lines.
void ShowManifest(const RecoveryManifest& manifest, Report& report);
// {"id", "idTime", "sourceSize", "sha256", "count", "recoveryCount"}
JsonObject ManifestJson(const RecoveryManifest& manifest);

// Why no manifest could be read: "no manifest", "its manifest fails ...".
const char* ManifestFaultText(ManifestFault fault);

// One recovery piece of the plan: "usable", "damaged", "other-division",
// "unreadable" or "unused" (a second file of an index), with its line.
struct RecoveryFileState {
    const char* kind;
    std::string message;
};
// inspected: the inspection of the set, when there is one.
RecoveryFileState DescribeRecoveryFile(const MergePlan<char>& plan, const RecoverySet<char>& recovery,
                                       size_t file, const SetInspection* inspected,
                                       const SystemFolder& folder);

// The message and exit code of a rebuild that did not end Ok; output names
// the file written.
int FailRebuild(const RebuildOutcome& outcome, uint64_t shortfall, const DivisionFiles& division,
                const RecoverySet<char>& recovery, const std::string& output, const std::string& why,
                Report& report);

// "Too many pieces are lost: N more recovery pieces are needed", for the
// shortfall of an inspection.
std::string ShortfallText(uint64_t shortfall);

}  // namespace sundrel::cli
