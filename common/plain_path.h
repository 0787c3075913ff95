#pragma once

#include <cstdint>

// A folder or file is named one way only from the moment it is chosen: the way the platform resolves
// it. Everything created, recorded and compared afterwards uses that form.

// The text work, pure: backslashes only, no empty, "." or ".." parts (".." never climbs above the root,
// "C:\" or "\\server\share\"), no part ending in a dot or a space, no trailing separator except the
// root's. For a full path; 1 when the result fit in out.
uint32_t PlainPathText(const wchar_t* path, wchar_t* out, uint32_t capacity);

// The path made full (against the current folder), then plain, then with the long names of the parts
// that exist, in place. 0, with the path unchanged, when a form did not fit the capacity.
uint32_t MakePathPlain(wchar_t* path, uint32_t capacity);
