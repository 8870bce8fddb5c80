// The page's Maya ASCII reader and the scene the preview builds from it, on
// small scenes written as each mode writes them.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { numberArray, readMayaAscii, statements } from '../../site/ma_reader.js';
import { sceneOf } from '../../site/scene_model.js';

test('statements: strings, escapes, joined strings, comments and parentheses', () => {
  const cases = [
    ['setAttr ".a" -type "string" ("a;b" + "c\\"d");', [['setAttr', { string: '.a' }, '-type', { string: 'string' },
      { string: 'a;bc"d' }]]],
    ['//Name: x.ma\nrequires maya "3.0";  // trailing\n', [['requires', 'maya', { string: '3.0' }]]],
    ['createNode animCurveTU-n"B_tx";select -ne :time1;', [['createNode', 'animCurveTU-n', { string: 'B_tx' }],
      ['select', '-ne', ':time1']]],
    ['connectAttr "a.o" "b.tx" -na', [['connectAttr', { string: 'a.o' }, { string: 'b.tx' }, '-na']]],
  ];
  for (const [text, expected] of cases) assert.deepEqual([...statements(text)], expected, text);
});

test('nodes, parents, array ranges split over calls, units and the playback range', () => {
  const ma = readMayaAscii(`//Maya ASCII 3.0 scene
requires maya "3.0";
currentUnit -l millimeter -a degree -t pal;
 createNode transform -n "Box01";
 createNode mesh -n "Box01Shape1" -p "Box01";
 setAttr -s 4 ".vt[0:1]" 1 2 3 4 5 6;
 setAttr ".vt[2:3]" 7 8 9 10 11 12;
createNode animCurveTU-n"Box01_translateX";
	setAttr ".tan" 9;
	setAttr ".wgt" no;	setAttr -s 2 ".ktv[0:1]" 0 0.000000 50 40.000000;
connectAttr "Box01_translateX.o" "Box01.tx";
connectAttr -na -l on "Box01Shape1.iog" ":initialShadingGroup.dsm";
createNode script -n "animationScriptNode";
	setAttr ".a" -type "string" (
		"playbackOptions -min 5 -max 100 -animationStartTime 0 -animationEndTime 120 ;");
`);
  assert.equal(ma.version, '3.0');
  assert.equal(ma.fps, 25);
  assert.deepEqual(ma.nodes.map((n) => [n.name, n.type, n.parent]), [['Box01', 'transform', null],
    ['Box01Shape1', 'mesh', 'Box01'], ['Box01_translateX', 'animCurveTU', null],
    ['animationScriptNode', 'script', null]]);
  assert.deepEqual([...numberArray(ma.byName.get('Box01Shape1'), 'vt', 3)], [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12]);
  assert.deepEqual(ma.connections, [['Box01_translateX.o', 'Box01.tx'],
    ['Box01Shape1.iog', ':initialShadingGroup.dsm']]);
  assert.deepEqual(ma.playback, { min: 5, max: 100, start: 0, end: 120 });
});

// A quad and a triangle sharing an edge, as the extended mode writes a mesh:
// edges given once and walked backwards (-e - 1) by the second face, with
// normals per face corner and UVs of map1.
const EXTENDED_SCENE = `requires maya "8.5";
currentUnit -l centimeter -a degree -t ntsc;
createNode transform -n "root";
	setAttr ".r" -type "double3" -90 0 0 ;
createNode transform -n "Plane" -p "root";
	setAttr ".t" -type "double3" 0 1 0 ;
createNode mesh -n "PlaneShape" -p "Plane";
	setAttr ".uvst[0].uvsn" -type "string" "map1";
	setAttr -s 5 ".uvst[0].uvsp[0:4]" -type "float2" 0 0 1 0 1 1 0 1 2 0;
	setAttr -s 5 ".vt[0:4]" 0 0 0  1 0 0  1 1 0  0 1 0  2 0 0;
	setAttr -s 6 ".ed[0:5]" 0 1 0  1 2 0  2 3 0  3 0 0  1 4 0  4 2 0;
	setAttr -s 7 ".n[0:6]" -type "float3" 0 0 1 0 0 1 0 0 1 0 0 1 0 0 1 0 0 1 0 0 1;
	setAttr -s 2 ".fc[0:1]" -type "polyFaces"
		 f 4 0 1 2 3 mu 0 4 0 1 2 3 f 3 4 5 -2 mu 0 3 1 4 2;
createNode transform -n "Camera01" -p "root";
createNode camera -n "Camera01Shape" -p "Camera01";
	setAttr ".fl" 43.455643;
createNode transform -n "Light" -p "root";
createNode spotLight -n "LightShape" -p "Light";
	setAttr ".cl" -type "float3" 1 0.5 0.25 ;
createNode blinn -n "Paint";
	setAttr ".c" -type "float3" 0.2 0.4 0.6 ;
createNode shadingEngine -n "PaintSG";
createNode file -n "PaintFile";
	setAttr ".ftn" -type "string" "..\\\\maps\\\\Wood.PNG";
createNode place2dTexture -n "PaintPlace2d";
	setAttr ".re" -type "float2" 2 3 ;
createNode animCurveTA -n "Plane_rotateY";
	setAttr ".tan" 2;
	setAttr -s 2 ".ktv[0:1]" 0 0 10 90;
createNode script -n "sceneConfigurationScriptNode";
	setAttr ".b" -type "string" "playbackOptions -min 0 -max 10 -ast 0 -aet 10 ";
connectAttr "PlaneShape.iog" "PaintSG.dsm" -na;
connectAttr "Paint.oc" "PaintSG.ss";
connectAttr "PaintPlace2d.re" "PaintFile.re";
connectAttr "PaintFile.oc" "Paint.c";
connectAttr "Plane_rotateY.o" "Plane.ry";
`;

test('the preview\'s scene: hierarchy, triangles with normals and UVs, shapes, material, curves', () => {
  const scene = sceneOf(EXTENDED_SCENE);
  assert.deepEqual(scene.counts, { nodes: 13, transforms: 4, meshes: 1, lights: 1, cameras: 1, triangles: 3,
    curves: 1, animatedChannels: 1, firstFrame: 0, lastFrame: 10 });
  assert.equal(scene.transforms.get('Plane').parent, 'root');
  assert.deepEqual(scene.transforms.get('root').rotate, [-90, 0, 0]);
  const mesh = scene.shapes.find((s) => s.kind === 'mesh');
  // Triangles: the quad fanned from its first corner, then the triangle 1 4 2.
  const corners = [];
  for (let i = 0; i < mesh.positions.length; i += 3) corners.push([...mesh.positions.slice(i, i + 3)].join(' '));
  assert.deepEqual(corners, ['0 0 0', '1 0 0', '1 1 0', '0 0 0', '1 1 0', '0 1 0', '1 0 0', '2 0 0', '1 1 0']);
  assert.deepEqual([...mesh.uvs.slice(12, 18)], [1, 0, 2, 0, 1, 1]);
  assert.equal(mesh.normals.length, 27);
  assert.deepEqual(mesh.material, { name: 'Paint', type: 'blinn', color: [0.2, 0.4, 0.6], texture: 'Wood.PNG',
    repeat: [2, 3], offset: [0, 0], rotate: 0 });
  assert.deepEqual(scene.shapes.filter((s) => s.kind !== 'mesh').map((s) => [s.kind, s.parent]),
    [['camera', 'Camera01'], ['light', 'Light']]);
  assert.deepEqual(scene.transforms.get('Plane').curves.ry.map((k) => [k.time, k.value]), [[0, 0], [10, 90]]);
});

test('a mesh face that names a missing vertex is left out, not drawn wrong', () => {
  const scene = sceneOf(`createNode mesh -n "m"; setAttr -s 3 ".vt[0:2]" 0 0 0 1 0 0 0 1 0;
    setAttr -s 3 ".ed[0:2]" 0 1 0 1 9 0 9 0 0; setAttr -s 1 ".fc[0]" -type "polyFaces" f 3 0 1 2;`);
  assert.equal(scene.counts.triangles, 0);
});
