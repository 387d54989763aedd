# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Zarumi developers
# Runs the table generator into OUTPUT and fails unless the result equals the
# checked-in table CHECKED_IN byte for byte.
execute_process(COMMAND ${GENERATOR} ${OUTPUT} RESULT_VARIABLE generated)
if(NOT generated EQUAL 0)
  message(FATAL_ERROR "the code page 932 table generator failed (${generated})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${CHECKED_IN} RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "${CHECKED_IN} differs from the table the C library's converter gives; "
                      "rewrite it with: cmake --build <build> --target zarumi_update_cp932_table")
endif()
message(STATUS "the checked-in code page 932 table equals a fresh one")
