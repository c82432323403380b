# SPDX-License-Identifier: GPL-3.0-or-later
halvane_add_test(test_fft SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fft_test.cpp LIBS halvane_room)
