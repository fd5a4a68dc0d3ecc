# One place for the compile settings every target of the program shares.
add_library(pelmora_config INTERFACE)
target_compile_features(pelmora_config INTERFACE cxx_std_20)
target_compile_options(pelmora_config INTERFACE
  -Wall -Wextra -Wshadow -Wconversion -Wsign-conversion -Wold-style-cast -Wnon-virtual-dtor)
if(PELMORA_WERROR)
  target_compile_options(pelmora_config INTERFACE -Werror)
endif()
# Money is computed in 80-bit long double and rounded to float at fixed steps: never let the
# compiler reassociate or contract floating-point operations.
target_compile_options(pelmora_config INTERFACE -fno-fast-math -ffp-contract=off)
target_compile_definitions(pelmora_config INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_FOREACH)
