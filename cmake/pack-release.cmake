# Packs what a player downloads, run as `cmake -P` so that it works alike with every generator.
# The archive is laid out as the game's root folder: extracted there, it is the whole install.
# Its root holds the .asi and its settings, which the ASI loader and the plug-in look for beside
# RDR2.exe, and one folder Emberlane/ for the rest: the install guide, the translations, the
# licence and the notices of the runtime parts linked into the .asi, and SHA256SUMS.txt. Antivirus
# programs often flag .asi files; the hashes let a player check a download against the published
# ones, and an install in place.
#   -D ASI=<the built .asi> -D DIST=<dist folder> -D LICENSE=<LICENSE>
#   -D NOTICES=<the notices of the toolchain that built the .asi>
#   -D RELEASE=<zip name, without .zip> -D OUT=<where>
foreach(var ASI DIST LICENSE NOTICES RELEASE OUT)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "pack-release: ${var} not given")
    endif()
endforeach()

# The stage stands for the game's root folder; it is not in the archive itself.
set(stage ${OUT}/${RELEASE})
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage}/Emberlane)
file(COPY ${ASI} ${DIST}/Emberlane.ini DESTINATION ${stage})
file(COPY ${DIST}/INSTALL.txt ${DIST}/translations DESTINATION ${stage}/Emberlane)
# Named .txt, so that Windows opens them with a double click.
file(COPY_FILE ${LICENSE} ${stage}/Emberlane/LICENSE.txt)
file(COPY_FILE ${NOTICES} ${stage}/Emberlane/THIRD-PARTY-NOTICES.txt)

# A player opens the text files in Notepad, a translator the label files: they ship with the
# line ends of Windows, CR LF, whatever the sources hold.
file(GLOB_RECURSE texts LIST_DIRECTORIES false ${stage}/*.txt ${stage}/*.ini ${stage}/*.dat)
foreach(f IN LISTS texts)
    file(READ ${f} text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${f} "${text}")
endforeach()

# Each path from the archive's root, so that the check runs in the game's root folder.
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${stage} ${stage}/*)
list(SORT files)
set(sums "")
foreach(f IN LISTS files)
    file(SHA256 ${stage}/${f} hash)
    string(APPEND sums "${hash}  ${f}\r\n")
endforeach()
file(WRITE ${stage}/Emberlane/SHA256SUMS.txt "${sums}")

file(REMOVE ${OUT}/${RELEASE}.zip)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${OUT}/${RELEASE}.zip --format=zip
                        Emberlane.asi Emberlane.ini Emberlane
                WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)
