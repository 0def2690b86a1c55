/* Stands in for a GL driver that keeps a block until it is unloaded: the block is
   reachable from this module's data while the module is loaded and from nowhere
   once it is unloaded. */
#include <stdlib.h>

void* lmd_leaky_module_block;

void lmd_leaky_module_hold(void)
{
    lmd_leaky_module_block = realloc(lmd_leaky_module_block, 128);
}
