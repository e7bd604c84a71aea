// Everything a host program of libLxra101.so includes.
#pragma once

#include "lxra101/file_helpers.h"
#include "lxra101/lexora_api.h"
#include "lxra101/lx_error.h"
#include "lxra101/lx_input_stream.h"
#include "lxra101/lx_string.h"
#include "lxra101/parser_interface.h"
#include "lxra101/ptr_array.h"
