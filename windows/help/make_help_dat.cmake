# Turns the help text (UTF-8, lines ended by LF) into Help.dat: GBK text with
# CR LF line ends, as the help window reads it.
file(READ "${INPUT}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUTPUT}.utf8" "${text}")
execute_process(COMMAND iconv -f UTF-8 -t GBK "${OUTPUT}.utf8"
                OUTPUT_FILE "${OUTPUT}" RESULT_VARIABLE failed)
file(REMOVE "${OUTPUT}.utf8")
if(failed)
    message(FATAL_ERROR "iconv could not convert ${INPUT} to GBK")
endif()
