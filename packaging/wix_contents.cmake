# Writes the components of one package as a wixl include: a fragment with
# one component for each file, each file its component's key path, and the
# component group "Contents" that the package's feature installs.
#
#   kvar_wix_contents(OUTPUT file PACKAGE name
#                     [SYSTEM_LIBRARIES name.dll...]  into SystemFolder, registered
#                     [FOLDER folderId FILES file...]   into that folder
#                     [SHORTCUT file])                  Start menu shortcut to it
#
# Registering a layout library needs its entry kvar_registration_<name>
# below. wixl reads every file from the folder it runs in, where
# build_package.cmake puts copies with a fixed time stamp.

# Where each layout is registered: its key under Keyboard Layouts, its Layout
# Id (README, "Layout Ids") and its Layout Text.
# clang-format off
set(kvar_registration_stdkeys  a0000427 0a01 "Lithuanian Standard")
set(kvar_registration_progkeys a0010427 0a02 "Lithuanian Programmers")
set(kvar_registration_phonkeys a0000419 0a03 "Russian Phonetic")
# clang-format on

# Component GUIDs are name-based (SHA-1) UUIDs in this namespace of the
# package, folder and file name: the same in every build, and new whenever a
# file moves to another package or folder.
set(kvar_component_namespace 723E120C-FBDB-4C1C-AF14-92838AAE4E8C)

set(kvar_component_template [=[
      <Component Id="@file@" Guid="@guid@">
        <File Id="@file@" Name="@msiName@" Source="@file@" KeyPath="yes"/>@extra@
      </Component>
]=])

set(kvar_registration_template [=[

        <RegistryKey Root="HKLM" Key="SYSTEM\CurrentControlSet\Control\Keyboard Layouts\@key@">
          <RegistryValue Name="Layout File" Type="string" Value="@file@"/>
          <RegistryValue Name="Layout Text" Type="string" Value="@text@"/>
          <RegistryValue Name="Layout Id" Type="string" Value="@layoutId@"/>
        </RegistryKey>]=])

# A Target makes it a plain shortcut to the file; the long name needs its
# short form beside it.
set(kvar_shortcut_template [=[

        <Shortcut Id="GuideShortcut" Directory="ProgramMenuFolder"
                  Name="KVARLAYT.LNK|Kvar keyboard layouts.lnk" Target="[#@file@]"/>]=])

# The name of `file` as the File table holds it: a name that does not fit
# 8.3 needs its short form before it, "LAYOUT~1.HTM|layouts.html".
function(kvar_msi_file_name file out)
  if(file MATCHES "^([A-Za-z0-9_-]+)(\\.([A-Za-z0-9_-]+))?$")
    set(base ${CMAKE_MATCH_1})
    set(extension ${CMAKE_MATCH_3})
  else()
    message(FATAL_ERROR "No short name for ${file}: letters, digits, _ and - only")
  endif()
  string(LENGTH "${base}" base_length)
  string(LENGTH "${extension}" extension_length)
  if(base_length LESS_EQUAL 8 AND extension_length LESS_EQUAL 3)
    set(${out} ${file} PARENT_SCOPE)
    return()
  endif()
  string(SUBSTRING "${base}" 0 6 base)
  string(SUBSTRING "${extension}" 0 3 extension)
  string(TOUPPER "${base}~1.${extension}" short)
  set(${out} "${short}|${file}" PARENT_SCOPE)
endfunction()

# Appends to `directories` and `refs` in the caller's scope the components
# that put `files` into `directory`.
function(kvar_wix_components package directory files shortcut)
  string(APPEND directories "    <DirectoryRef Id=\"${directory}\">\n")
  set(short_names "")
  foreach(file IN LISTS files)
    kvar_msi_file_name(${file} msiName)
    string(REGEX REPLACE "\\|.*" "" short "${msiName}")
    string(TOUPPER "${short}" short)
    if(short IN_LIST short_names)
      message(FATAL_ERROR "${file} would share the short name ${short} in ${directory}")
    endif()
    list(APPEND short_names ${short})
    set(extra "")
    if(directory STREQUAL "SystemFolder")
      string(REGEX REPLACE "\\.dll$" "" name ${file})
      if(NOT DEFINED kvar_registration_${name})
        message(FATAL_ERROR "No registration for the layout library ${file}")
      endif()
      list(GET kvar_registration_${name} 0 key)
      list(GET kvar_registration_${name} 1 layoutId)
      list(GET kvar_registration_${name} 2 text)
      string(CONFIGURE "${kvar_registration_template}" registration @ONLY)
      string(APPEND extra "${registration}")
    endif()
    if(file STREQUAL shortcut)
      string(CONFIGURE "${kvar_shortcut_template}" shortcut_xml @ONLY)
      string(APPEND extra "${shortcut_xml}")
    endif()
    string(UUID guid NAMESPACE ${kvar_component_namespace}
           NAME "${package}/${directory}/${file}" TYPE SHA1 UPPER)
    string(CONFIGURE "${kvar_component_template}" component @ONLY)
    string(APPEND directories "${component}")
    string(APPEND refs "      <ComponentRef Id=\"${file}\"/>\n")
  endforeach()
  string(APPEND directories "    </DirectoryRef>\n")
  set(directories "${directories}" PARENT_SCOPE)
  set(refs "${refs}" PARENT_SCOPE)
endfunction()

function(kvar_wix_contents)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "OUTPUT;PACKAGE;FOLDER;SHORTCUT"
                        "SYSTEM_LIBRARIES;FILES")
  set(directories "")
  set(refs "")
  if(arg_SYSTEM_LIBRARIES)
    kvar_wix_components(${arg_PACKAGE} SystemFolder "${arg_SYSTEM_LIBRARIES}" "")
  endif()
  if(arg_FILES)
    kvar_wix_components(${arg_PACKAGE} ${arg_FOLDER} "${arg_FILES}" "${arg_SHORTCUT}")
  endif()

  file(CONFIGURE OUTPUT ${arg_OUTPUT} CONTENT [=[
<?xml version="1.0" encoding="utf-8"?>
<!-- Written by CMake from the list of what @arg_PACKAGE@ carries. -->
<Include>
  <Fragment>
@directories@
    <ComponentGroup Id="Contents">
@refs@    </ComponentGroup>
  </Fragment>
</Include>
]=] @ONLY)
endfunction()
