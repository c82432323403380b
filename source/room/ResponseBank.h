// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The compiled-in binaural room responses: 11 source positions x 3 room axes x 2 ears,
// each kResponseLength doubles, referenced in place for the life of the module.
namespace ResponseBank
{
constexpr int kPositions = 11;
constexpr int kAxes = 3; // 0 F-B, 1 L-R, 2 C-F
constexpr int kEars = 2; // 0 left, 1 right
constexpr int kResponses = kPositions * kAxes * kEars;
constexpr int kResponseLength = 69632;

// Place of (position, axis, ear) in storage order: the bank is stored last position first.
constexpr int placeOf(int position, int axis, int ear)
{
    return kResponses - 1 - (6 * position + 2 * axis + ear);
}

// The response of one position (0..10), axis and ear.
const double* responseFor(int position, int axis, int ear);

// The whole bank, kResponses * kResponseLength values in storage order.
const double* data();
} // namespace ResponseBank
