<?xml version="1.0" encoding="UTF-8"?>
<ColorCorrection xmlns="urn:ASC:CDL:v1.01" id="A001_C002">
    <Description>first look</Description>
    <SOPNode>
        <Slope>1.02 0.98 1.0</Slope>
        <Offset>0.01 -0.005 0.0</Offset>
        <Power>1.0 1.0 1.05</Power>
    </SOPNode>
    <SATNode>
        <Saturation>0.9</Saturation>
    </SATNode>
</ColorCorrection>
