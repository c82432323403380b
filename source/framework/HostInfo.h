// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// Transport record handed to the plug-in object with receiveHostInfo(kHostInfoTime, ...).
// The binding fills the leading fields and leaves the rest zero.
struct HostTimeInfo
{
    uint64_t samplePosition = 0;
    double timeInSeconds = 0.0;
    double tempo = 0.0;
    float timeSigNumerator = 0.0f;
    int32_t timeSigDenominator = 0;
    double reserved[8] = {};
};

enum HostInfoKind : uint32_t
{
    kHostInfoTime = 2,
    kHostInfoMidiEventList = 5,
};

// Seven pointer-sized fields; only those of the record's kind are set.
struct HostInfoRecord
{
    void* reserved0 = nullptr;
    void* reserved1 = nullptr;
    HostTimeInfo* timeInfo = nullptr; // kind 2; null without host time information
    void* reserved3 = nullptr;
    void* midiEventList = nullptr; // kind 5: the binding's CVSTMidiEventList
    void* reserved5 = nullptr;
    intptr_t count = 0; // kind 2: -1
};

// A linked control update returned by collectLinkedUpdates.
struct CUpdateNode
{
    uint32_t controlId = 0;
    float value = 0.0f; // the actual value
    CUpdateNode* next = nullptr;
};

// Side-chain input handed to processAuxInput.
struct AuxInputInfo
{
    int32_t version = 1;
    float* frame = nullptr; // frame path: the current frame's side-chain samples
    void* reserved = nullptr;
    float** channelBuffers = nullptr; // whole-buffer path
    int32_t channelCount = 0;
    bool active = false;
};
