# SPDX-License-Identifier: GPL-3.0-or-later
halvane_add_test(test_bank SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bank_test.cpp LIBS halvane_bank)
