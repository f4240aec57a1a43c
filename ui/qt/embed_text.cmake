# Writes a header holding a text file as one string literal: cmake -DINPUT=... -DOUTPUT=...
# -DNAME=... -P embed_text.cmake
file(READ "${INPUT}" content)
if(content MATCHES "\\)QRVTEXT\"")
    message(FATAL_ERROR "${INPUT} holds the literal's closing delimiter")
endif()
file(WRITE "${OUTPUT}.tmp"
    "// Generated from ${INPUT}; do not edit.\n#pragma once\n\n"
    "inline constexpr char ${NAME}[] = R\"QRVTEXT(${content})QRVTEXT\";\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
