# Writes the manual page of a program from its own --help text, so the two cannot differ:
#   cmake -DPROGRAM=<executable> -DNAME=<name> -DSUMMARY=<one line> -DVERSION=<x.y>
#         -DSEE_ALSO=<name> -DOUTPUT=<file.1> -P man_page.cmake
# The page is plain man(7) in Japanese: the help text stands unfilled under 説明.
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help ERROR_VARIABLE err RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR help STREQUAL "")
  message(FATAL_ERROR "${NAME} --help failed (${rc}): ${err}")
endif()

# roff: a backslash is \e, a minus is \- (a hyphen would break copied options), and a line
# that starts with a dot or an apostrophe would be read as a request.
string(REPLACE "\\" "\\e" help "${help}")
string(REPLACE "-" "\\-" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
string(REPLACE "-" "\\-" name_escaped "${NAME}")
string(TOUPPER "${NAME}" title)

file(WRITE ${OUTPUT}
".\\\" -*- coding: UTF-8 -*-
.\\\" Made at build time from the output of `${NAME} --help`.
.TH ${title} 1 \"\" \"${NAME} ${VERSION}\" \"Nelvora １次方程式／Solvari\"
.SH 名前
${name_escaped} \\- ${SUMMARY}
.SH 説明
.nf
${help}.fi
.SH 関連項目
.BR ${SEE_ALSO} (1)
")
