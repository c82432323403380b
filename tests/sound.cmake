# SPDX-License-Identifier: GPL-3.0-or-later
halvane_add_test(test_sound SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/sound_test.cpp LIBS halvane_room)
