// Unpacking of the game package.
//
// Thread affinity: any thread (the installer uses file_thread); keeps no state
// and leaves the process's current directory alone.

#ifndef SYS_ZIP_EXTRACT_H_
#define SYS_ZIP_EXTRACT_H_

#include <string>

// Unpacks every entry of |archive| under |folder| (created if missing),
// overwriting existing files without asking. Entries are streamed and their
// size and CRC-32 checked. Names may be UTF-8 (flag bit 11, Info-ZIP's
// Unicode path field, or valid UTF-8 from a Unix tool) or in the OEM code
// page; ZIP64 is read.
//
// False on any failure: unreadable or truncated archive, an entry name that
// would leave |folder| (checked for all entries before anything is written),
// corrupt or encrypted data, a target that cannot be written. The entry that
// failed is not left half-written; entries written before it stay.
bool ExtractZip(const std::wstring& archive, const std::wstring& folder);

// True when |name| (an entry name, '/' or '\' separated) stays inside the
// folder it is unpacked to: not absolute, no drive or stream colon, no ".."
// component (nor one that Windows would trim to ".."), no device name.
bool IsSafeEntryName(const std::wstring& name);

#endif  // SYS_ZIP_EXTRACT_H_
