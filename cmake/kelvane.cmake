# One warning policy for every target of ours.
function(kelvane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
endfunction()

# Qt's safety macros for every target that uses Qt.
function(kelvane_qt_defaults target)
  target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
endfunction()
