#pragma once
/* The administration library libvdirkit.so: publishes the CGI programs on a web server.
 *
 * Text arguments and results are UTF-8. The metabase file is $VDIRKIT_METABASE (default
 * /etc/verbarium/metabase.json); every change rewrites the Apache include files in
 * $VDIRKIT_APACHE_DIR (default: "apache" beside the metabase file). Calls keep no state between
 * them and may run in several processes at once.
 *
 * The functions without a size take buffers of at least VDIRKIT_BUFFER_BYTES bytes (the size
 * installers have always passed); the ...n variants take the size. A result that does not fit
 * leaves an empty string and counts as a failure: a cut site record would name the wrong site.
 */
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VDIRKIT_EXPORT __attribute__((visibility("default")))
#define VDIRKIT_BUFFER_BYTES 1024

/* 1 when the metabase file can be opened (or created), else 0. */
VDIRKIT_EXPORT int isIISInstalled(void);

/* "id|description|first binding" of the first site. 1 on success; 0 (buffer empty) when the
 * metabase cannot be opened or there is no site. */
VDIRKIT_EXPORT int GetDefaultVS(char* record);
VDIRKIT_EXPORT int GetDefaultVSn(char* record, size_t size);

/* Lets the user choose a site on the terminal ("Select Virtual Host") and writes its record;
 * Cancel writes the record of the first site. 1 when the user chose OK, else 0. */
VDIRKIT_EXPORT int GetVSInfo(char* record);
VDIRKIT_EXPORT int GetVSInfon(char* record, size_t size);

/* Creates (or sets up again) the virtual directory `name` with `physicalPath` under the site's
 * Root (followed by `parent`, empty or starting with "/"). Returns 1 exactly when the sequence's
 * status is 1, else 0: most failures therefore return 0. Use CreateVDExStatus to tell them. */
VDIRKIT_EXPORT int CreateVD(int site, const char* name, const char* physicalPath);
VDIRKIT_EXPORT int CreateVDEx(int site, const char* parent, const char* name,
                              const char* physicalPath);
/* As CreateVDEx, returning the status: 0 on success, else the system error code of the step
 * that failed (87 for a missing argument or an empty name). */
VDIRKIT_EXPORT unsigned CreateVDExStatus(int site, const char* parent, const char* name,
                                         const char* physicalPath);

/* Makes the virtual directory an application (pooled) named `friendlyName`. 0 when all three
 * properties were written, 1 when any failed. */
VDIRKIT_EXPORT int CreateApp(int site, const char* name, const char* friendlyName);
VDIRKIT_EXPORT int CreateAppEx(int site, const char* parent, const char* name,
                               const char* friendlyName);

/* The machine's host name, or the decimal error code when it cannot be read. Returns 1
 * (GetHostNamen: 0 when the text does not fit). */
VDIRKIT_EXPORT int GetHostName(char* name);
VDIRKIT_EXPORT int GetHostNamen(char* name, size_t size);

/* Every site's record, one per line. 1 on success (also with no site), 0 otherwise. */
VDIRKIT_EXPORT int GetVSListn(char* records, size_t size);

/* Makes the <VirtualHost> blocks of the *.conf files in `dir` sites 1, 2, ... (see
 * ApacheSiteImporter). 0 on success with *count set, else a system error code. */
VDIRKIT_EXPORT unsigned ImportApacheSites(const char* dir, unsigned* count);

#ifdef __cplusplus
}
#endif
