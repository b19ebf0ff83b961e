# cmake -DFROM=<the npm package> -DTO=<ruffle dir> -P CopyRuffle.cmake
# The chunk and .wasm names change with each version: the old ones go first.
file(REMOVE_RECURSE ${TO})
file(GLOB files ${FROM}/*.js ${FROM}/*.wasm ${FROM}/LICENSE*)
if(NOT EXISTS ${FROM}/ruffle.js)
    message(FATAL_ERROR "no ruffle.js in ${FROM}")
endif()
file(COPY ${files} DESTINATION ${TO})
# npm dates the files 1985; the build must see them as new.
file(TOUCH ${TO}/ruffle.js)
