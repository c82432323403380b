# SPDX-License-Identifier: GPL-3.0-or-later
# MIDI relay, controller mapping and the pull-style event list, built from their own sources so
# the tests do not depend on the rest of the binding.
set(_binding ${PROJECT_SOURCE_DIR}/source/binding)
halvane_add_test(test_midi
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/midi_test.cpp
            ${_binding}/MidiEventRelay.cpp
            ${_binding}/MidiEventList.cpp
    LIBS halvane_framework vst3sdk)
