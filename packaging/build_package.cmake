# Builds one installer package so that every build gives the same bytes.
#
#   cmake -DPARAMETERS=Kvar2000-parameters.cmake -DWORK=dir -DOUTPUT=Kvar2000.msi
#         -P build_package.cmake
#
# PARAMETERS (written by packaging/CMakeLists.txt) sets WIXL, MSIDUMP and
# MSIBUILD, the package SOURCE and its CONTENTS include, the wixl DEFINES,
# the FILES the package carries, its DATE ("yyyy/mm/dd hh:mm:ss") and the
# NAMESPACE of its package code. WORK is emptied and used for the build.
#
# wixl writes three things that change from build to build; each is fixed here:
# - the files' dates in the embedded cabinet come from the files' modification
#   times: the files are copied into WORK/staging and given the time of DATE;
# - the summary's creation and last-saved times are the time of the build, and
# - the summary's revision number (the package code) is a random GUID: both
#   are replaced after the build, the times by DATE and the package code by a
#   name-based GUID of everything the package is built from, so it changes
#   whenever the package does.
# The time zone is UTC throughout, so DATE means the same moment everywhere.

foreach(variable PARAMETERS WORK OUTPUT)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "build_package.cmake needs -D${variable}=...")
  endif()
endforeach()
include(${PARAMETERS})
set(ENV{TZ} UTC)

file(REMOVE_RECURSE ${WORK})
set(staging ${WORK}/staging)
file(MAKE_DIRECTORY ${staging})

# Runs a command in the staging folder, where wixl looks for the files.
function(run)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${staging} RESULT_VARIABLE status
                  OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "${command} failed (${status}):\n${output}")
  endif()
endfunction()


# The package code: a digest of the sources, the definitions and every file.
set(digests "")
foreach(input IN LISTS SOURCE CONTENTS FILES)
  file(SHA256 ${input} digest)
  string(APPEND digests "${digest}\n")
endforeach()
string(SHA256 digest "${digests}${DEFINES}")
string(UUID package_code NAMESPACE ${NAMESPACE} NAME ${digest} TYPE SHA1 UPPER)

string(REGEX REPLACE "^([0-9]+)/([0-9]+)/([0-9]+) ([0-9:]+)$" "\\1-\\2-\\3 \\4 UTC" touch_date "${DATE}")
foreach(path IN LISTS FILES)
  get_filename_component(name ${path} NAME)
  file(COPY_FILE ${path} ${staging}/${name})
  run(touch -m -d "${touch_date}" ${staging}/${name})
endforeach()

set(arguments "")
foreach(define IN LISTS DEFINES)
  list(APPEND arguments -D ${define})
endforeach()
get_filename_component(contents_dir ${CONTENTS} DIRECTORY)
list(APPEND arguments -I ${contents_dir})
set(built ${WORK}/package.msi)
run(${WIXL} ${arguments} -o ${built} ${SOURCE})

# The summary, rewritten with the fixed values and put back.
set(dump ${WORK}/tables)
file(MAKE_DIRECTORY ${dump})
run(${MSIDUMP} -d ${dump} -t ${built})
file(READ ${dump}/_SummaryInformation.idt summary)
foreach(replacement "9\t{${package_code}}" "12\t${DATE}" "13\t${DATE}")
  string(REGEX MATCH "^[0-9]+\t" property "${replacement}")
  string(REGEX REPLACE "\n${property}[^\n]*" "\n${replacement}" summary "${summary}")
  string(FIND "${summary}" "\n${replacement}\n" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "The summary that wixl wrote for ${OUTPUT} has no property ${property}")
  endif()
endforeach()
file(WRITE ${staging}/_SummaryInformation.idt "${summary}")
run(${MSIBUILD} ${built} -i _SummaryInformation.idt)

file(COPY_FILE ${built} ${OUTPUT})
