# SPDX-License-Identifier: GPL-3.0-or-later
halvane_add_test(test_view_rules SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/view_rules_test.cpp
                 LIBS halvane_view_rules)
