#pragma once

// Whether two texts name the same file or folder as the platform compares them: each made plain (its
// separators, "." and "..", trailing dots and spaces, a trailing separator), then compared without
// regard to case. Names that the text alone cannot tie together (an 8.3 short name) must be made plain
// on the disk first; a path too long to compare is never the same.
bool SamePath(const wchar_t* a, const wchar_t* b);

// Whether two command or icon texts that name a file ("path" and what follows, or path,index) name the
// same file, as SamePath compares it, with the same text after it, in any case.
bool SameCommandPath(const wchar_t* a, const wchar_t* b);
