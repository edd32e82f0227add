# Writes a manual page from a program's --help text.
#   cmake -DPROGRAM=path -DNAME=vxadmin -DSUMMARY=text -DOUTPUT=file.1 -P HelpToMan.cmake
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed: ${status}")
endif()
string(TOUPPER "${NAME}" title)
# Backslashes and leading dots or quotes would be read as requests.
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
file(WRITE ${OUTPUT}.tmp
".TH ${title} 1 \"\" \"Velumix 2\" \"Velumix\"
.SH NAME
${NAME} \\- ${SUMMARY}
.SH DESCRIPTION
.nf
${help}.fi
")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
