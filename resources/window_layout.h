/* The windows' layout in dialog units of their fonts: x, y, width and height of each box. The
   Windows dialog templates are made from it, the Qt window and About box place their controls
   by it, and the page's generator writes its boxes from it. Read by the resource compiler, by
   C++ and by make_page.py, so it holds nothing but numbers, and expressions of + and * in a
   macro's row r and column c (0 to 2). */
#ifndef QRV_WINDOW_LAYOUT_H
#define QRV_WINDOW_LAYOUT_H

/* The main window: its client area, and its controls from the top down. */
#define QRV_MAIN_SIZE 198, 194
#define QRV_SEPARATOR_BOX 7, 7, 184, 1
/* The frame around the square in row r and column c, and the square, one unit in from the
   frame's left, right and bottom edges and five below its top. */
#define QRV_FRAME_BOX(r, c) 19 + 52 * (c), 17 + 40 * (r), 53, 44
#define QRV_SQUARE_BOX(r, c) 20 + 52 * (c), 22 + 40 * (r), 51, 38
#define QRV_STATUS_BOX 19, 150, 156, 13
/* The Windows status field's label, of no size at the field's place: its name for assistive
   technology. */
#define QRV_STATUS_LABEL_BOX 19, 150, 0, 0
#define QRV_PLAY_O_BOX 20, 171, 50, 14
#define QRV_RESET_BOX 73, 171, 50, 14
#define QRV_EXIT_BOX 126, 171, 50, 14

/* A mark's box inside its square, in pixels, not units: in from the left and top, and from the
   right and bottom, so that the mark sits one pixel off centre towards the top left. */
#define QRV_MARK_NEAR_INSET 4
#define QRV_MARK_FAR_INSET 6

/* The About box: where it opens from the top left of the main window's client area, its size,
   and its controls. */
#define QRV_ABOUT_PLACE 22, 17
#define QRV_ABOUT_SIZE 225, 66
#define QRV_ABOUT_ICON_BOX 14, 9, 20, 20
#define QRV_ABOUT_VERSION_BOX 79, 5, 77, 8
#define QRV_ABOUT_MAKER_BOX 44, 21, 148, 8
#define QRV_ABOUT_ADDRESS_BOX 43, 33, 150, 8
#define QRV_ABOUT_OK_BOX 97, 50, 30, 11

#endif
