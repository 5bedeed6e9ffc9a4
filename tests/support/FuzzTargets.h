// Fuzz targets for the program's file readers: each feeds one input to a reader and
// checks what must hold for every input, ending the process through qFatal when it does not.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ditlog::testing {

// The input read as record fields in three passes (all text, all numbers, then text,
// number and yes/no in turn): each pass ends, yields at most one field per byte, never a
// quote or line end inside a text, places any error inside the input, and what it read
// writes and reads back the same.
void fuzzRecordReader(const uint8_t* data, size_t size);

// The input loaded as "log.txt", once into an empty log and once into one that already
// holds contacts: a failed load leaves the log as it was; a successful one holds at most
// 12000 records, running values that match its records, and writes out as text that
// loads back to the same records.
void fuzzLogLoad(const uint8_t* data, size_t size);

// The input loaded as "arrlpre2.txt" (a failed load leaves the table empty, a good one
// holds at most 10000 entries), then call lookups, name completions and bearings on calls,
// names and positions taken from the table and the input.
void fuzzPrefixLoad(const uint8_t* data, size_t size);

// The input read as "varnpref.txt": the values read stay within their ranges, and writing
// them out and reading that back gives the same values and the same text.
void fuzzPreferences(const uint8_t* data, size_t size);

// The input is a tag, a NUL byte, a value, a NUL byte and the content of the shared
// preference file (no content: no file). The tag is set twice, to the value and to the
// value doubled, and the file written and reopened each time: the file reopens as the
// text that was written and, for a tag and value without "<" or ">", the first whole
// element of the tag holds the value while every other character of the text stays. A
// file that is not UTF-8 text is refused and left as it was.
void fuzzSharedXml(const uint8_t* data, size_t size);

} // namespace ditlog::testing
