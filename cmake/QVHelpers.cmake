# qv_warnings(target): our warning set; errors when QV_WERROR is on.
function(qv_warnings target)
  # Designated initialisers leave fields to their defaults on purpose.
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-missing-field-initializers)
  if(QV_WERROR)
    # GCC 12 reports uninitialised and overlapping accesses inside std::variant and
    # std::string that are not there (more so with sanitizers): kept as warnings only.
    target_compile_options(${target} PRIVATE -Werror -Wno-error=maybe-uninitialized -Wno-error=restrict)
  endif()
endfunction()

# qv_library(NAME DIR PUBLIC_PREFIX) builds a shared library from every source under DIR and
# installs its headers under <PUBLIC_PREFIX/...>, keeping the folder structure. The target is
# installed in the export set NAMETargets, so each library has its own package.
function(qv_library name dir prefix)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS RELATIVE ${dir} ${dir}/*.h)
  add_library(${name} SHARED ${sources})
  qv_warnings(${name})
  # The source tree is the include path: <QVPlatform/base/Any.h> is the file of that name.
  target_include_directories(${name} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  set_target_properties(${name} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
  foreach(h ${headers})
    if(NOT h MATCHES "(^|/)detail/")
      get_filename_component(sub ${h} DIRECTORY)
      install(FILES ${dir}/${h} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${prefix}/${sub})
    endif()
  endforeach()
  install(TARGETS ${name} EXPORT ${name}Targets
          LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
          ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
          RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()
