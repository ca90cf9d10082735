#ifndef KC_FORMAT_H
#define KC_FORMAT_H

// Lets the compiler check printf-style arguments: aFormatIndex is the 1-based
// position of the format parameter, aFirstArgument that of the first variadic
// argument (member functions count the implicit this as 1).
#if defined(__GNUC__)
#define KC_PRINTF_FORMAT(aFormatIndex, aFirstArgument) __attribute__((format(printf, aFormatIndex, aFirstArgument)))
#else
#define KC_PRINTF_FORMAT(aFormatIndex, aFirstArgument)
#endif

#endif
