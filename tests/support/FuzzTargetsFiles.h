// Fuzz targets for the smaller files the program reads: "WK.txt", the Pegasus control
// program's status file, the ADIF country-number table, the serial settings texts of the
// settings files, and the salvage of a damaged "log.txt". Each ends the process through
// qFatal when a rule does not hold.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ditlog::testing {

// The input as a damaged "log.txt": at most 12000 records kept, the lines set aside
// ascending and within the input, every kept record written as a line loads back as the
// same record, and the kept records written whole load as a log of as many.
void fuzzLogSalvage(const uint8_t* data, size_t size);

// The input read as "WK.txt": values within their ranges and storable, and writing them
// and reading that back gives the same settings and the same bytes.
void fuzzWinKeySettings(const uint8_t* data, size_t size);

// The input as the Pegasus status file: nothing, or a frequency from 0 to 10^6 MHz and
// the mode "CW" or "PH"; the command file for that frequency is made without fault.
void fuzzPegasusStatus(const uint8_t* data, size_t size);

// The input as "ADIFCnt.txt": a refusal says why; a table holds at most 1000 entries and
// finds every name it holds as its first entry of that name.
void fuzzAdifCountries(const uint8_t* data, size_t size);

// The input as a serial settings text ("4800,N,8,2"): what is accepted writes back as a
// text that reads as the same settings.
void fuzzSerialSettings(const uint8_t* data, size_t size);

} // namespace ditlog::testing
