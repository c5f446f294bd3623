#pragma once
// The serial instruments: seriell_link.h (control bytes, hex conversions, the
// port), seriell_cpm.h (plate monitor C_CPM_EF), seriell_rxm.h (resistance
// meter C_RXM_850), seriell_pgt.h (grounding tester C_PGT300).
#include "comm/seriell_cpm.h"
#include "comm/seriell_link.h"
#include "comm/seriell_pgt.h"
#include "comm/seriell_rxm.h"
