#pragma once

class CFieldReader;

// A version-3 archive codes every point against the point read before it,
// across records, so a record of a kind this program cannot build yet must
// still be read through its points for the records after it to decode where
// they were written.
//
// Reads the body of a version-3 record of type typeId, the part after its
// colours, angle and position, as far as its last point, without building
// anything. Knows the kinds of the older format that have no descriptor
// here; for any other type id it reads nothing and answers false: where that
// record's points end is unknown, so nothing after it can be decoded.
bool SkipOlderRecordBody(int typeId, CFieldReader& stream);
