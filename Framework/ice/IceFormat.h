#ifndef ICEFORMAT_H
#define ICEFORMAT_H

// The Ice file, written by JuiceToIce and read by Ice. Every int is 32 bits,
// little-endian.
//
//   8 bytes  the version text ICE_VERSION with its NUL
//   int      language flag: non-zero when the texts live in a ".loc" file beside it
//   int      the number of top-level instances, then that many member records
//
// A member record:
//   int      type hash (Adler-32 of the type name)
//   int      name hash (Adler-32 of the member or instance name)
//   int      kind: ICE_KIND_VALUE, ICE_KIND_REFERENCE, or the number of members
//            (0 is read as a value)
//   value and reference: int length (below ICE_MAX_STRING), then that many
//            bytes of text without a NUL; a reference's text is a dotted path
//   class:   its member records, one after the other

#define ICE_VERSION "ice0010"
#define ICE_MAX_STRING 512

enum
{
	ICE_KIND_VALUE = -1,
	ICE_KIND_REFERENCE = -2
};

#endif
