"""The bench's table, shared by scripts/bench and scripts/bench-windows: one row for each thing
measured against its floor, as (measure, what is counted, program, floor, vs floor, target,
met), the first two columns left-aligned, the others right-aligned."""

HEADS = ("measure", "counted", "program", "floor", "vs floor", "target", "met")


def format_table(rows):
    rows = [tuple(str(cell) for cell in row) for row in rows]
    widths = [max(len(r[i]) for r in rows + [HEADS]) for i in range(len(HEADS))]

    def line(cells):
        return "| " + " | ".join(c.ljust(w) if i < 2 else c.rjust(w)
                                 for i, (c, w) in enumerate(zip(cells, widths))) + " |"

    return "\n".join([line(HEADS), "| " + " | ".join("-" * w for w in widths) + " |"] +
                     [line(r) for r in rows])
