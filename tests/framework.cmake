# SPDX-License-Identifier: GPL-3.0-or-later
halvane_add_test(test_framework SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/framework_test.cpp
                 LIBS halvane_framework)
