/* The launcher's version: what -nv:version shows, what its version
   information says, and what nvpack and nvjvm report as the stub they were
   built with. Resource compilers read it as C through the preprocessor. */
#ifndef NV_VERSION_H
#define NV_VERSION_H

#define NV_VERSION_MAJOR 2
#define NV_VERSION_MINOR 51
#define NV_VERSION_TEXT "2.51"
/* The version information's ProductName: a stub whose ProductName is another
   was branded by nvpack, and -nv:version names that product. */
#define NV_PRODUCT_NAME "Norvane launcher"

#endif
