# The data of the postal dictionary: the npm package jquery-jpostal-ja at a
# pinned version, unpacked. Sets ZENROOK_POSTAL_PACKAGE_DIR, fetching the
# package through npm when neither the cache variable nor an earlier fetch
# provides it.

set(ZENROOK_POSTAL_PACKAGE_VERSION 2.14.73)
set(ZENROOK_POSTAL_PACKAGE "" CACHE PATH
    "An unpacked jquery-jpostal-ja ${ZENROOK_POSTAL_PACKAGE_VERSION} (its package/ folder); fetched through npm when empty")

function(zenrook_postal_package_usable dir result)
  set(usable FALSE)
  if(EXISTS "${dir}/package.json" AND EXISTS "${dir}/json/000.json")
    file(READ "${dir}/package.json" manifest)
    string(JSON name ERROR_VARIABLE e1 GET "${manifest}" name)
    string(JSON version ERROR_VARIABLE e2 GET "${manifest}" version)
    if(name STREQUAL "jquery-jpostal-ja" AND version STREQUAL ZENROOK_POSTAL_PACKAGE_VERSION)
      set(usable TRUE)
    endif()
  endif()
  set(${result} ${usable} PARENT_SCOPE)
endfunction()

if(ZENROOK_POSTAL_PACKAGE)
  zenrook_postal_package_usable("${ZENROOK_POSTAL_PACKAGE}" usable)
  if(NOT usable)
    message(FATAL_ERROR "ZENROOK_POSTAL_PACKAGE=${ZENROOK_POSTAL_PACKAGE} is not an unpacked "
                        "jquery-jpostal-ja ${ZENROOK_POSTAL_PACKAGE_VERSION} (package.json, json/000.json)")
  endif()
  set(ZENROOK_POSTAL_PACKAGE_DIR "${ZENROOK_POSTAL_PACKAGE}")
  return()
endif()

set(fetched "${PROJECT_BINARY_DIR}/_deps/jquery-jpostal-ja")
foreach(dir "${PROJECT_SOURCE_DIR}/third_party/jquery-jpostal-ja/package" "${fetched}/package")
  zenrook_postal_package_usable("${dir}" usable)
  if(usable)
    set(ZENROOK_POSTAL_PACKAGE_DIR "${dir}")
    return()
  endif()
endforeach()

set(help "Either install npm (Debian: apt-get install npm) and configure again, pass "
         "-DZENROOK_POSTAL_PACKAGE=<unpacked package folder>, or pass -DZENROOK_POSTAL_DICTIONARY=OFF "
         "to build without the dictionary (the address look-up, F4, is then switched off).")
find_program(ZENROOK_NPM npm)
if(NOT ZENROOK_NPM)
  message(FATAL_ERROR "The postal dictionary is built from the npm package jquery-jpostal-ja "
                      "${ZENROOK_POSTAL_PACKAGE_VERSION}, and npm was not found. " ${help})
endif()
message(STATUS "Fetching jquery-jpostal-ja ${ZENROOK_POSTAL_PACKAGE_VERSION} through npm")
file(REMOVE_RECURSE "${fetched}")
file(MAKE_DIRECTORY "${fetched}")
execute_process(COMMAND "${ZENROOK_NPM}" pack --silent "jquery-jpostal-ja@${ZENROOK_POSTAL_PACKAGE_VERSION}"
                WORKING_DIRECTORY "${fetched}" RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
set(tarball "${fetched}/jquery-jpostal-ja-${ZENROOK_POSTAL_PACKAGE_VERSION}.tgz")
if(NOT rc EQUAL 0 OR NOT EXISTS "${tarball}")
  message(FATAL_ERROR "npm could not fetch jquery-jpostal-ja ${ZENROOK_POSTAL_PACKAGE_VERSION}: ${err}\n" ${help})
endif()
file(ARCHIVE_EXTRACT INPUT "${tarball}" DESTINATION "${fetched}")
file(REMOVE "${tarball}")
zenrook_postal_package_usable("${fetched}/package" usable)
if(NOT usable)
  message(FATAL_ERROR "The fetched jquery-jpostal-ja holds no json/ tables. " ${help})
endif()
set(ZENROOK_POSTAL_PACKAGE_DIR "${fetched}/package")
