// Everything a host program of libLxra101.so includes.
#pragma once

#include "lxra101/context.h"
#include "lxra101/file_helpers.h"
#include "lxra101/grammar_context.h"
#include "lxra101/grammar_imp.h"
#include "lxra101/lexora_api.h"
#include "lxra101/listeners.h"
#include "lxra101/literal_text.h"
#include "lxra101/lx_error.h"
#include "lxra101/lx_grammar.h"
#include "lxra101/lx_input_stream.h"
#include "lxra101/lx_string.h"
#include "lxra101/parser_interface.h"
#include "lxra101/ptr_array.h"
#include "lxra101/scanners.h"
