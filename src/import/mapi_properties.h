#pragma once

#include <cstdint>
#include <string>

// MAPI property values as the Windows Address Book hands them out, and how
// they are written as text: "NAME=value" lines.

// Property tags: the identifier in the upper 16 bits, the type in the lower.
inline constexpr uint32_t PR_DISPLAY_NAME = 0x3001001E;
inline constexpr uint32_t PR_EMAIL_ADDRESS = 0x3003001E;
inline constexpr uint32_t PR_PERSONAL_HOME_PAGE = 0x3A50001E;
inline constexpr uint32_t PR_ENTRYID = 0x0FFF0102;
inline constexpr uint32_t PR_OBJECT_TYPE = 0x0FFE0003;

// Property types.
inline constexpr uint32_t PT_I2 = 2;
inline constexpr uint32_t PT_LONG = 3;
inline constexpr uint32_t PT_R4 = 4;
inline constexpr uint32_t PT_DOUBLE = 5;
inline constexpr uint32_t PT_ERROR = 10;
inline constexpr uint32_t PT_BOOLEAN = 11;
inline constexpr uint32_t PT_STRING8 = 30;
inline constexpr uint32_t PT_SYSTIME = 64;
inline constexpr uint32_t PT_BINARY = 258;

// Object types of PR_OBJECT_TYPE.
inline constexpr int32_t MAPI_MAILUSER = 6;
inline constexpr int32_t MAPI_DISTLIST = 8;

inline constexpr uint32_t PropertyType(uint32_t tag) {
    return tag & 0xFFFF;
}
inline constexpr uint32_t PropertyId(uint32_t tag) {
    return tag >> 16;
}

// One property value; which member holds it depends on the tag's type.
struct MapiPropertyValue {
    uint32_t Tag = 0;
    int32_t Long = 0;      // PT_I2, PT_LONG, PT_ERROR, PT_BOOLEAN
    double Double = 0;     // PT_R4, PT_DOUBLE
    uint64_t FileTime = 0; // PT_SYSTIME: 100-nanosecond ticks since 1601-01-01 UTC
    std::string Bytes;     // PT_STRING8, PT_BINARY
};

// The published name of the property without its "PR_" prefix, looked up by
// the identifier (the first table entry with it wins), or "[%x]" with the
// identifier when the table does not know it.
std::string MapiPropertyName(uint32_t tag);

// The value as text, by the tag's type: numbers in decimal, floats in the
// default float format, errors empty, booleans as their 16-bit number,
// strings as they are, times in local time ("%x %X"), binaries as
// "[Binary - Size: %d bytes]" (with " (%.8x)" and their number when they
// hold 4 bytes), other types as "[Unknown type %x]".
std::string MapiPropertyValueText(const MapiPropertyValue& value);
