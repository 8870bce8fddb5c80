// The page: files chosen or dropped, the mode and switches as on the command
// line, conversions in the worker (worker.js) one after another with their
// progress, warnings and errors, downloads (one .ma, or all as a zip), and
// the preview of the chosen result on its timeline.

import { Preview } from './preview.js';
import { sceneOf } from './scene_model.js';
import { zip } from './zip.js';

const $ = (selector) => document.querySelector(selector);
const count = (n, one, many = `${one}s`) => `${n} ${n === 1 ? one : many}`;
const worker = new Worker('worker.js');
const preview = new Preview($('#preview'));
const results = []; // {name, outputName, element, result?, error?, model?}
const waiting = new Map(); // conversion id -> {resolve, entry}
let nextId = 1;
let chosen = null;
let playing = false;
let pendingFiles = [];

/// The converter's options for the switches ticked, as the command line reads them.
export function optionsOf(switches, extended, zUp) {
  const none = { geometry: false, animation: false, lights: false, cameras: false, scene: false };
  const options = switches.length === 0 || switches.includes('u')
    ? { geometry: true, animation: true, lights: true, cameras: true, scene: true } : none;
  for (const letter of switches) {
    if (letter === 'a') Object.assign(options, { animation: true, geometry: true, scene: true });
    if (letter === 'g') Object.assign(options, { geometry: true, scene: true });
    if (letter === 'l') options.lights = true;
    if (letter === 'c') options.cameras = true;
    if (letter === 's') options.scene = true;
  }
  return { ...options, extended, zUp: extended && zUp };
}

function chosenOptions() {
  const switches = [...document.querySelectorAll('input[name=switch]:checked')].map((box) => box.value);
  const extended = document.querySelector('input[name=mode]:checked').value === 'extended';
  const zUp = $('#zup').checked;
  const longOptions = extended ? (zUp ? ' --extended --z-up' : ' --extended') : '';
  $('#command').textContent = `Kestrun in.ase out.ma${switches.map((s) => ` -${s}`).join('')}${longOptions}`;
  return optionsOf(switches, extended, zUp);
}

worker.onmessage = (event) => {
  const message = event.data;
  const job = waiting.get(message.id);
  if (!job) return;
  const { entry } = job;
  if (message.progress !== undefined) {
    entry.element.querySelector('progress').value = message.progress;
    entry.progressShown = (entry.progressShown ?? 0) + 1;
  } else if (message.line !== undefined) {
    entry.element.querySelector('.status').textContent = message.line.trim();
  } else {
    waiting.delete(message.id);
    if (message.failure) entry.error = message.failure;
    else entry.result = message.result;
    job.resolve();
  }
};
worker.onerror = (event) => {
  for (const [id, job] of waiting) {
    job.entry.error = `The converter stopped: ${event.message}`;
    waiting.delete(id);
    job.resolve();
  }
};

function convertOne(file, bytes, options) {
  const entry = { name: file.name, element: document.createElement('li') };
  entry.element.innerHTML = '<div><strong></strong> <span class="status">waiting</span></div><progress max="1" value="0"></progress>';
  entry.element.querySelector('strong').textContent = file.name;
  $('#results').append(entry.element);
  results.push(entry);
  const id = nextId++;
  return new Promise((resolve) => {
    waiting.set(id, { resolve, entry });
    worker.postMessage({ id, name: file.name, bytes, options }, [bytes]);
  }).then(() => finish(entry));
}

function finish(entry) {
  const { element, result } = entry;
  element.querySelector('progress').remove();
  const status = element.querySelector('.status');
  if (entry.error || result.code !== 0) {
    status.textContent = entry.error ?? result.message;
    status.className = 'status error';
  } else {
    const c = result.counts;
    status.textContent = `${count(c.meshes, 'mesh', 'meshes')}, ${count(c.lights, 'light')}, ${count(c.cameras, 'camera')}, ` +
      `${count(c.animationCurves, 'curve')}, frames ${c.firstFrame} to ${c.lastFrame}`;
  }
  if (result) {
    entry.outputName = result.outputName;
    if (result.code === 0 || result.output.length) {
      const link = document.createElement('a');
      link.href = URL.createObjectURL(new Blob([result.output], { type: 'application/octet-stream' }));
      link.download = result.outputName;
      link.textContent = result.code === 0 ? `Download ${result.outputName}` : `Download what was written`;
      link.className = 'download';
      link.addEventListener('click', (e) => e.stopPropagation());
      element.append(document.createElement('br'), link);
    }
    if (result.warnings.length) {
      const list = document.createElement('p');
      list.className = 'warnings';
      list.textContent = result.warnings.map((w) => `Warning: ${w}`).join('\n');
      element.append(list);
    }
    if (result.code === 0) element.addEventListener('click', () => choose(entry));
  }
  $('#download-all').disabled = !results.some((e) => e.result?.code === 0);
}

async function convertAll() {
  const options = chosenOptions();
  const scenes = pendingFiles.filter((f) => !f.type.startsWith('image/'));
  preview.setImages(pendingFiles.filter((f) => f.type.startsWith('image/')));
  $('#convert').disabled = true;
  const done = [];
  for (const file of scenes) done.push(convertOne(file, await file.arrayBuffer(), options));
  await Promise.all(done);
  $('#convert').disabled = pendingFiles.length === 0;
  const first = results.find((e) => e.result?.code === 0 && !e.model);
  if (first) choose(first);
}

function choose(entry) {
  for (const other of results) other.element.classList.toggle('chosen', other === entry);
  chosen = entry;
  try {
    entry.model ??= sceneOf(new TextDecoder('latin1').decode(entry.result.output));
  } catch (error) {
    $('#scene-info').textContent = `The preview could not read ${entry.outputName}: ${error}`;
    return;
  }
  const model = entry.model;
  preview.show(model);
  const { first, last } = model.frames;
  const slider = $('#frame');
  slider.min = first;
  slider.max = last;
  slider.value = first;
  slider.disabled = $('#play').disabled = last <= first;
  showFrame(first);
  const c = model.counts;
  $('#scene-info').textContent = `${entry.outputName}: Maya ${model.version}, ${count(c.nodes, 'node')}, ` +
    `${count(c.meshes, 'mesh', 'meshes')} (${count(c.triangles, 'triangle')}), ${count(c.lights, 'light')}, ` +
    `${count(c.cameras, 'camera')}, ${count(c.curves, 'curve')}; frames ${first} to ${last} at ${model.fps} fps`;
}

function showFrame(frame) {
  preview.setFrame(frame);
  $('#frame').value = frame;
  $('#frame-label').textContent = `frame ${Math.round(frame * 10) / 10}`;
}

function play() {
  playing = !playing;
  $('#play').textContent = playing ? 'Pause' : 'Play';
  if (!playing || !chosen?.model) return;
  const { fps, frames } = chosen.model;
  let start = performance.now();
  let from = Number($('#frame').value);
  if (from >= frames.last) from = frames.first;
  const step = (now) => {
    if (!playing || !chosen?.model) return;
    let frame = from + ((now - start) / 1000) * fps;
    if (frame > frames.last) {
      from = frames.first;
      start = now;
      frame = from;
    }
    showFrame(frame);
    requestAnimationFrame(step);
  };
  requestAnimationFrame(step);
}

function takeFiles(files) {
  pendingFiles = [...files];
  $('#convert').disabled = pendingFiles.length === 0;
}

async function downloadAll() {
  const files = results.filter((e) => e.result?.code === 0).map((e) => ({ name: e.outputName, bytes: e.result.output }));
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([zip(files)], { type: 'application/zip' }));
  link.download = 'kestrun-scenes.zip';
  link.id = 'zip-link';
  document.body.append(link);
  link.click();
  link.remove();
  window.kestrunPage.lastZip = link.href;
}

$('#files').addEventListener('change', (e) => takeFiles(e.target.files));
const drop = $('#drop');
drop.addEventListener('dragover', (e) => { e.preventDefault(); drop.classList.add('over'); });
drop.addEventListener('dragleave', () => drop.classList.remove('over'));
drop.addEventListener('drop', (e) => {
  e.preventDefault();
  drop.classList.remove('over');
  takeFiles(e.dataTransfer.files);
  convertAll();
});
$('#convert').addEventListener('click', convertAll);
$('#download-all').addEventListener('click', downloadAll);
$('#play').addEventListener('click', play);
$('#frame').addEventListener('input', (e) => showFrame(Number(e.target.value)));
for (const radio of document.querySelectorAll('input[name=mode]')) {
  radio.addEventListener('change', () => {
    $('#zup').disabled = !$('input[name=mode][value=extended]').checked;
    if ($('#zup').disabled) $('#zup').checked = false;
    chosenOptions();
  });
}
for (const box of document.querySelectorAll('input[name=switch], #zup')) box.addEventListener('change', chosenOptions);
chosenOptions();

// For the browser tests: the results, the preview and a way to wait for the converter.
window.kestrunPage = { results, preview, convertAll, choose, showFrame, lastZip: null };
