# SPDX-License-Identifier: GPL-3.0-or-later
# The bench's helper scripts, run on a stand-in bench that prints known ratios.
halvane_add_test(test_bench_scripts SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_scripts_test.cpp)
target_compile_definitions(test_bench_scripts PRIVATE
    HALVANE_RATIOS_SCRIPT="${PROJECT_SOURCE_DIR}/bench/ratios-over-runs.sh")
