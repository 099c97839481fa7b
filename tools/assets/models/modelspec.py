"""The description of one generated model, filled in by the model builders."""


class ModelSpec:
    """Everything needed to write one model.

    name          file stem: assets/models/<name>.obj, .mtl and <name>_diffuse.png
    mesh          the geom.Mesh, materials named per face
    materials     material name -> dict(Ka, Kd, Ks, Ns); map_Kd is added when writing
    painter       paint.Painter giving colour (and height for normal maps) per texel
    size          texture size in pixels (256 or 512)
    normal_map    file name of the object-space normal map to bake, or None
    weights       texel density factor per axis direction of a chart ("+z": 1.4, ...)
    pad           texels kept free around every chart
    bump_strength how strongly the painted height tilts the baked normals
    bump_eps      step (object units) of the height gradient; None picks one from the size
    seed          the seed every random choice of this model derives from
    shipped       the side of the PNGs written, box-filtered down from `size` (None: `size`); for
                  models that stay small on screen, whose largest mip levels the game never samples
    """

    def __init__(self, name, mesh, materials, painter, size=256, normal_map=None, weights=None, pad=4,
                 bump_strength=1.0, bump_eps=None, seed=0, shipped=None):
        self.name = name
        self.mesh = mesh
        self.materials = materials
        self.painter = painter
        self.size = size
        self.normal_map = normal_map
        self.weights = weights
        self.pad = pad
        self.bump_strength = bump_strength
        self.bump_eps = bump_eps
        self.seed = seed
        self.shipped = shipped
