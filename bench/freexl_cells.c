/* Reads what the import reads, with FreeXL: the sheet "Sheet1", sheet rows
 * 2..101, columns 1..3, each cell turned into text and written to standard
 * output. bench/side_by_side.sh builds it with gcc (not the CMake build):
 *
 *   gcc -O2 -o freexl_cells bench/freexl_cells.c -lfreexl
 *   freexl_cells WORKBOOK
 */
#include <freexl.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char **argv) {
    const void *handle = NULL;
    unsigned int sheets = 0, rows = 0;
    unsigned short columns = 0;
    int found = -1;
    if (argc != 2) {
        fprintf(stderr, "usage: freexl_cells WORKBOOK\n");
        return 64;
    }
    if (freexl_open(argv[1], &handle) != FREEXL_OK) {
        fprintf(stderr, "freexl_cells: cannot open %s\n", argv[1]);
        freexl_close(handle);
        return 2;
    }
    freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheets);
    for (unsigned int i = 0; i < sheets && found < 0; ++i) {
        const char *name = NULL;
        if (freexl_get_worksheet_name(handle, (unsigned short)i, &name) == FREEXL_OK && name &&
            strcmp(name, "Sheet1") == 0)
            found = (int)i;
    }
    if (found < 0 || freexl_select_active_worksheet(handle, (unsigned short)found) != FREEXL_OK ||
        freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK) {
        fprintf(stderr, "freexl_cells: no sheet Sheet1\n");
        freexl_close(handle);
        return 2;
    }
    for (unsigned int row = 1; row <= 100; ++row) {
        for (unsigned short column = 0; column < 3; ++column) {
            FreeXL_CellValue cell;
            cell.type = FREEXL_CELL_NULL;
            if (row < rows && column < columns) freexl_get_cell_value(handle, row, column, &cell);
            switch (cell.type) {
            case FREEXL_CELL_INT:
                printf("%d", cell.value.int_value);
                break;
            case FREEXL_CELL_DOUBLE:
                printf("%.15G", cell.value.double_value);
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                fputs(cell.value.text_value, stdout);
                break;
            default:
                break;
            }
            putchar(column < 2 ? '\t' : '\n');
        }
    }
    freexl_close(handle);
    return 0;
}
