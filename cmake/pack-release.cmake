# Packs what a player downloads, run as `cmake -P` so that it works alike with every generator:
# the .asi, its two files, the install guide and the translations, the licence and the notices
# of the runtime parts linked into the .asi, with SHA256SUMS.txt beside them. Antivirus programs
# often flag .asi files; the hashes let a player check a download against the published ones.
#   -D ASI=<the built .asi> -D DIST=<dist folder> -D LICENSE=<LICENSE>
#   -D NOTICES=<the notices of the toolchain that built the .asi>
#   -D RELEASE=<folder and zip name> -D OUT=<where>
foreach(var ASI DIST LICENSE NOTICES RELEASE OUT)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "pack-release: ${var} not given")
    endif()
endforeach()

set(stage ${OUT}/${RELEASE})
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage})
file(COPY ${ASI} ${DIST}/Emberlane.ini ${DIST}/Emberlane.dat ${DIST}/INSTALL.txt
     ${DIST}/translations DESTINATION ${stage})
# Named .txt, so that Windows opens them with a double click.
file(COPY_FILE ${LICENSE} ${stage}/LICENSE.txt)
file(COPY_FILE ${NOTICES} ${stage}/THIRD-PARTY-NOTICES.txt)

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${stage} ${stage}/*)
list(SORT files)
set(sums "")
foreach(f IN LISTS files)
    file(SHA256 ${stage}/${f} hash)
    string(APPEND sums "${hash}  ${f}\n")
endforeach()
file(WRITE ${stage}/SHA256SUMS.txt "${sums}")

file(REMOVE ${OUT}/${RELEASE}.zip)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${RELEASE}.zip --format=zip ${RELEASE}
                WORKING_DIRECTORY ${OUT} COMMAND_ERROR_IS_FATAL ANY)
