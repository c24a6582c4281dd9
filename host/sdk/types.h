// Basic scalar types of the host SDK: identifiers, error codes, booleans.
// Every identifier kind is a 32-bit number; 0 is never a valid UID, ID or
// error (0 means success for error codes).
#pragma once

#include <cstdint>

typedef std::int16_t int16;
typedef std::int32_t int32;
typedef std::uint16_t uint16;
typedef std::uint32_t uint32;
typedef double PMReal;
typedef int16 bool16;
typedef std::int32_t ErrorCode;
typedef std::uint32_t UID;
typedef std::uint32_t PMIID;
typedef std::uint32_t ClassID;
typedef std::uint32_t ImplementationID;
typedef std::uint32_t ActionID;
typedef std::uint32_t PluginID;
typedef std::int32_t TextIndex;
typedef std::uint32_t UTF32TextChar;

constexpr bool16 kTrue = 1;
constexpr bool16 kFalse = 0;

constexpr UID kInvalidUID = 0;
constexpr ClassID kInvalidClass = 0;

constexpr ErrorCode kSuccess = 0;
constexpr ErrorCode kFailure = 1;
// Argument or object the call needs is missing.
constexpr ErrorCode kInvalidParameterError = 2;
// The file named by an import cannot be read or is not a picture the host knows.
constexpr ErrorCode kFileNotFoundError = 3;
constexpr ErrorCode kUnsupportedFileError = 4;
// A command was processed while an undo or redo was running, or an undo was
// asked for inside an open command sequence.
constexpr ErrorCode kCommandNotAllowedError = 5;

#ifndef nil
#define nil nullptr
#endif
