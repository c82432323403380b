# SPDX-License-Identifier: GPL-3.0-or-later
halvane_add_test(test_controls
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/controls_test.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/support/TestBitmaps.cpp
    LIBS halvane_controls)
