/* resource_ids.h - Numbers of the launcher's resources, shared by the resource script and the
   code that loads them. Plain defines only: windres reads this file too. */
#ifndef VX_RESOURCES_RESOURCE_IDS_H
#define VX_RESOURCES_RESOURCE_IDS_H

#define IDI_ZELVORA 101       /* icon group of the splash window's class */
#define IDD_SPLASH 103        /* splash dialog template */
#define IDB_SPLASH 134        /* splash picture, a packed 8-bit DIB of 480x350 */

#endif /* VX_RESOURCES_RESOURCE_IDS_H */
