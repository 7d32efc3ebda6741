#pragma once

// The host-interface vocabulary the adapter is written against: result codes, four-character
// identifiers, stem formats and the property and field numbers the effect description uses. This is
// our own minimal stand-in for the host SDK, written from what the adapter needs.

#include <cstdint>
#include <string>

using AAX_Result = int32_t;
using AAX_CTypeID = uint32_t;
using AAX_CPropertyValue = int32_t;
using AAX_CFieldIndex = int32_t;
using AAX_CParamID = std::string;

enum AAX_EResult : AAX_Result {
    AAX_SUCCESS = 0,
    AAX_ERROR_INVALID_PARAMETER_ID = -20001,
    AAX_ERROR_NULL_OBJECT = -20004,
    AAX_ERROR_INVALID_CHUNK_INDEX = -20006,
    AAX_ERROR_INVALID_CHUNK_ID = -20007,
    AAX_ERROR_INCORRECT_CHUNK_SIZE = -20008,
    AAX_ERROR_UNIMPLEMENTED = -20009,
    AAX_ERROR_INVALID_ARGUMENT = -20010,
};

constexpr AAX_CTypeID AAX_FourChar(const char (&c)[5]) {
    return (static_cast<uint32_t>(static_cast<uint8_t>(c[0])) << 24) |
           (static_cast<uint32_t>(static_cast<uint8_t>(c[1])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(c[2])) << 8) | static_cast<uint32_t>(static_cast<uint8_t>(c[3]));
}
inline AAX_CTypeID AAX_FourChar(char a, char b, char c, char d) {
    return (static_cast<uint32_t>(static_cast<uint8_t>(a)) << 24) | (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 8) | static_cast<uint32_t>(static_cast<uint8_t>(d));
}
std::string AAX_FourCharText(AAX_CTypeID id);

// Stem formats: the layout of a set of audio channels.
enum AAX_EStemFormat : int32_t {
    AAX_eStemFormat_Mono = 1,
    AAX_eStemFormat_Stereo = 65538,
};

// Property numbers of the effect and component descriptions.
enum AAX_EProperty : int32_t {
    AAX_eProperty_ManufacturerID = 11,
    AAX_eProperty_ProductID = 12,
    AAX_eProperty_PlugInID_Native = 13,
    AAX_eProperty_PlugInID_AudioSuite = 14,
    AAX_eProperty_InputStemFormat = 51,
    AAX_eProperty_OutputStemFormat = 52,
    AAX_eProperty_CanBypass = 60,
    AAX_eProperty_UsesTransport = 301,
    AAX_eProperty_LatencyContribution = 58,
    AAX_eProperty_MultiMonoSupport = 108,
};

// Category bits of an effect.
enum AAX_EPlugInCategory : uint32_t {
    AAX_ePlugInCategory_None = 0,
    AAX_ePlugInCategory_EQ = 0x1,
    AAX_ePlugInCategory_Dynamics = 0x2,
    AAX_ePlugInCategory_Delay = 0x10,
    AAX_ePlugInCategory_Harmonic = 0x40,
    AAX_ePlugInCategory_SWGenerators = 0x800,
    AAX_ePlugInCategory_Effect = 0x2000,
};

// Kinds of MIDI node.
enum AAX_EMIDINodeType : int32_t {
    AAX_eMIDINodeType_LocalInput = 0,
    AAX_eMIDINodeType_Transport = 3,
};

enum AAX_EParameterType : int32_t {
    AAX_eParameterType_Discrete = 0,
    AAX_eParameterType_Continuous = 1,
};

// Where a change of parameter value came from.
enum AAX_EUpdateSource : int32_t {
    AAX_eUpdateSource_Unspecified = 0,
    AAX_eUpdateSource_Parameter = 1,
    AAX_eUpdateSource_Chunk = 2,
};
