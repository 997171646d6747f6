#pragma once
#include <cstdint>

class DataModule;

// Collection bulletins and test samples in the sibling zoonosis-control
// database, so the leishmaniasis lookup (045) has something to find in
// demonstrations and load measurements: samples of about a quarter of the
// city's dogs (or, in a city without dogs, of invented dogs on its
// streets), every result code present, confirmed or not. Written only when
// the sibling tables are empty: real sibling data is never touched. The
// same seed and city give the same rows. Returns the samples written.
namespace KeldaGenerator {

int generate(DataModule &dm, uint64_t seed);

} // namespace KeldaGenerator
